#include "platform/video/privateclipboard.h"

namespace video {

PrivateClipboard& privateClipboard() {
  static PrivateClipboard clipboard;
  return clipboard;
}

}  // namespace video
