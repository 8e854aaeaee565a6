#include "platform/registry/unique_fd.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/registry/syscalls.h"

namespace registry {

void UniqueFd::reset(int fd) {
  if (fd_ >= 0) syscalls().close(fd_);
  fd_ = fd;
}

Result<void> UniqueFd::close() {
  const int fd = release();
  if (fd < 0) return {};
  // Linux releases the descriptor even when close fails, so no retry.
  if (syscalls().close(fd) != 0) return errnoError(errno);
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
