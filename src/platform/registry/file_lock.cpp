#include "platform/registry/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "platform/registry/syscalls.h"

namespace registry {

Result<FileLock> FileLock::acquire(const std::string& lockPath) {
  auto fd = openFd(lockPath.c_str(), O_RDWR | O_CREAT, 0600);
  if (!fd) return fd.error();
  while (syscalls().flock(fd->get(), LOCK_EX) != 0) {
    if (errno != EINTR) return errnoError(errno);
  }
  return FileLock(std::move(*fd));
}

FileLock::~FileLock() {
  // Closing the last descriptor drops the lock; unlock first anyway so the
  // lock ends even if a descriptor leaked into a child process.
  if (fd_.valid()) syscalls().flock(fd_.get(), LOCK_UN);
}

}  // namespace registry
