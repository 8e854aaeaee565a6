#include "platform/registry/unique_fd.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/registry/syscalls.h"

namespace registry {

int SeamClose::close(int fd) {
  return syscalls().close(fd);
}

Result<void> closeFd(UniqueFd& fd) {
  if (fd.closeNow() != 0) return errnoError(errno);
  return {};
}

Result<UniqueFd> openFd(const char* path, int flags, unsigned mode) {
  for (;;) {
    const int fd = syscalls().open(path, flags | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd >= 0) return UniqueFd(fd);
    if (errno != EINTR) return errnoError(errno);
  }
}

}  // namespace registry
