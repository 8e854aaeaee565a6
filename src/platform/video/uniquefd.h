#pragma once
// Descriptors of the video layer, closed through its system-call table.

#include "platform/base/unique_fd.h"

namespace video {

struct SeamClose {
  static int close(int fd);
};
using UniqueFd = base::UniqueFd<SeamClose>;

}  // namespace video
