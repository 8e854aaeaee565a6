#pragma once
// The one seam between the file layer and the kernel. Every call the layer
// makes on a path or a descriptor (and those the settings store makes for its
// lock) goes through this table, so tests can replace single entries to
// inject ENOSPC, EIO, short writes or EINTR without touching a real disk.

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/base/unique_fd.h"

namespace files {

struct Syscalls {
  int (*open)(const char* path, int flags, mode_t mode);
  int (*close)(int fd);
  ssize_t (*read)(int fd, void* buffer, size_t size);
  ssize_t (*write)(int fd, const void* buffer, size_t size);
  int (*fstat)(int fd, struct stat* status);
  int (*stat)(const char* path, struct stat* status);
  int (*lstat)(const char* path, struct stat* status);
  int (*access)(const char* path, int mode);
  // realpath(3) with a buffer of PATH_MAX bytes.
  char* (*realpath)(const char* path, char* resolved);
  int (*fchmod)(int fd, mode_t mode);
  int (*fsync)(int fd);
  int (*flock)(int fd, int operation);
  int (*rename)(const char* from, const char* to);
  // renameat2() on two paths: RENAME_EXCHANGE or RENAME_NOREPLACE.
  int (*renameat2)(const char* from, const char* to, unsigned flags);
  int (*link)(const char* from, const char* to);
  int (*unlink)(const char* path);
  int (*mkdir)(const char* path, mode_t mode);
  DIR* (*opendir)(const char* path);
  struct dirent* (*readdir)(DIR* folder);
  int (*closedir)(DIR* folder);
};

// The table in use; starts as the real calls.
Syscalls& syscalls();
// The real calls, for tests that wrap rather than replace one.
const Syscalls& realSyscalls();

// Restores the table it found when it goes out of scope.
class ScopedSyscalls {
 public:
  ScopedSyscalls() : saved_(syscalls()) {}
  ~ScopedSyscalls() { syscalls() = saved_; }
  ScopedSyscalls(const ScopedSyscalls&) = delete;
  ScopedSyscalls& operator=(const ScopedSyscalls&) = delete;

  Syscalls& table() { return syscalls(); }

 private:
  Syscalls saved_;
};

struct SeamClose {
  static int close(int fd) { return syscalls().close(fd); }
};
// A descriptor closed through the seam.
using Fd = base::UniqueFd<SeamClose>;

template <class T>
using Expected = base::Expected<T, base::SystemError>;

// open() through the seam, retried on EINTR, always with O_CLOEXEC.
Expected<Fd> openFd(const std::string& path, int flags, mode_t mode);

// Closes now and reports what close() said: on some file systems a failed
// write shows up only here. Linux releases the descriptor even when close
// fails, so there is no retry.
Expected<void> closeFd(Fd& fd, std::string_view what);

// Writes every byte, continuing short writes and retrying EINTR. A write
// that accepts nothing means a full disk, whatever errno says.
Expected<void> writeAll(int fd, const void* data, std::size_t size, std::string_view what);

// fsync() retried on EINTR.
Expected<void> syncFd(int fd, std::string_view what);

}  // namespace files
