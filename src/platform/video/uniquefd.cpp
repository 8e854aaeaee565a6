#include "platform/video/uniquefd.h"

#include "platform/video/syscalls.h"

namespace video {

int SeamClose::close(int fd) {
  return sys().close(fd);
}

}  // namespace video
