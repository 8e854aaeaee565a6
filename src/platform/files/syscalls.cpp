#include "platform/files/syscalls.h"

#include <fcntl.h>
#include <limits.h>
#include <stdio.h>  // renameat2
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace files {
namespace {

// open is variadic in the C library; a fixed signature keeps the table uniform.
int openFile(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

int renamePaths(const char* from, const char* to, unsigned flags) {
  return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
}

char* resolvePath(const char* path, char* resolved) {
  return ::realpath(path, resolved);
}

const Syscalls kReal{
    &openFile, &::close,     &::read,   &::write,   &::fstat,   &::stat,     &::lstat,
    &::access, &resolvePath, &::fchmod, &::fsync,   &::flock,   &::rename,   &renamePaths,
    &::link,   &::unlink,    &::mkdir,  &::opendir, &::readdir, &::closedir,
};

}  // namespace

const Syscalls& realSyscalls() {
  return kReal;
}

Syscalls& syscalls() {
  static Syscalls table = kReal;
  return table;
}

Expected<Fd> openFd(const std::string& path, int flags, mode_t mode) {
  for (;;) {
    const int fd = syscalls().open(path.c_str(), flags | O_CLOEXEC, mode);
    if (fd >= 0) return Fd(fd);
    if (errno != EINTR) return base::SystemError::fromErrno("open " + path);
  }
}

Expected<void> closeFd(Fd& fd, std::string_view what) {
  if (fd.closeNow() != 0) return base::SystemError::fromErrno(std::string(what));
  return {};
}

Expected<void> writeAll(int fd, const void* data, std::size_t size, std::string_view what) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = syscalls().write(fd, bytes, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return base::SystemError::fromErrno(std::string(what));
    }
    // A regular file that accepts nothing is full, whatever errno says.
    if (n == 0) return base::SystemError{ENOSPC, std::string(what)};
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return {};
}

Expected<void> syncFd(int fd, std::string_view what) {
  while (syscalls().fsync(fd) != 0) {
    if (errno != EINTR) return base::SystemError::fromErrno(std::string(what));
  }
  return {};
}

}  // namespace files
