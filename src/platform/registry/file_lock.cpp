#include "platform/registry/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

namespace registry {

Result<FileLock> FileLock::acquire(const std::string& lockPath) {
  auto& sys = files::syscalls();
  // Non-blocking open: a FIFO in the lock's place must not hang the program.
  auto fd = files::openFd(lockPath, O_RDWR | O_CREAT | O_NOCTTY | O_NONBLOCK, 0600);
  if (!fd) return ioError(fd.error());
  struct stat st {};
  if (sys.fstat(fd->get(), &st) != 0)
    return ioError(base::SystemError::fromErrno("look at the lock " + lockPath));
  if (!S_ISREG(st.st_mode)) return ioError({EINVAL, "lock " + lockPath + " (not a regular file)"});
  while (sys.flock(fd->get(), LOCK_EX) != 0) {
    if (errno != EINTR) return ioError(base::SystemError::fromErrno("lock " + lockPath));
  }
  return FileLock(std::move(*fd));
}

FileLock::~FileLock() {
  // Closing the last descriptor drops the lock; unlock first anyway so the
  // lock ends even if a descriptor leaked into a child process.
  if (fd_.valid()) files::syscalls().flock(fd_.get(), LOCK_UN);
}

}  // namespace registry
