#pragma once
// Descriptors of the store, closed through the store's system-call seam.

#include "platform/base/unique_fd.h"
#include "platform/registry/result.h"

namespace registry {

struct SeamClose {
  static int close(int fd);
};
using UniqueFd = base::UniqueFd<SeamClose>;

// Closes now and reports what close said. Linux releases the descriptor even
// when close fails, so there is no retry.
Result<void> closeFd(UniqueFd& fd);

// open() through the seam, retried on EINTR, always with O_CLOEXEC.
Result<UniqueFd> openFd(const char* path, int flags, unsigned mode = 0);

}  // namespace registry
