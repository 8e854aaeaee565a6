#pragma once
// The one seam between the store and the kernel. Every system call the store
// makes goes through this table, so tests can replace single entries to inject
// ENOSPC, EIO, short writes or EINTR without touching a real disk's limits.

#include <sys/stat.h>
#include <sys/types.h>

namespace registry {

struct Syscalls {
  int (*open)(const char* path, int flags, mode_t mode);
  int (*close)(int fd);
  ssize_t (*read)(int fd, void* buffer, size_t size);
  ssize_t (*write)(int fd, const void* buffer, size_t size);
  int (*fstat)(int fd, struct stat* status);
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
  int (*mkdir)(const char* path, mode_t mode);
  int (*flock)(int fd, int operation);
  int (*access)(const char* path, int mode);
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

}  // namespace registry
