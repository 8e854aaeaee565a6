#include "platform/video/uniquefd.h"

#include "platform/video/syscalls.h"

namespace video {

void UniqueFd::reset(int fd) {
  if (fd_ >= 0 && fd_ != fd) sys().close(fd_);
  fd_ = fd;
}

}  // namespace video
