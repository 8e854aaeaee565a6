#pragma once
// The system calls the codec's file handling makes, in one replaceable table,
// so tests can fail a write half-way or a rename without filling a disk.

#include <sys/stat.h>
#include <sys/types.h>

#include "platform/base/unique_fd.h"

namespace imaging {

struct FileSyscalls {
  int (*open)(const char* path, int flags, mode_t mode);
  int (*close)(int fd);
  ssize_t (*read)(int fd, void* buffer, size_t size);
  ssize_t (*write)(int fd, const void* buffer, size_t size);
  int (*fstat)(int fd, struct stat* status);
  int (*fchmod)(int fd, mode_t mode);
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
  // Swaps two names atomically (renameat2 with RENAME_EXCHANGE).
  int (*exchange)(const char* a, const char* b);
  int (*unlink)(const char* path);
};

FileSyscalls& fileSyscalls();
const FileSyscalls& realFileSyscalls();

// Restores the table it found when it goes out of scope.
class ScopedFileSyscalls {
 public:
  ScopedFileSyscalls() : saved_(fileSyscalls()) {}
  ~ScopedFileSyscalls() { fileSyscalls() = saved_; }
  ScopedFileSyscalls(const ScopedFileSyscalls&) = delete;
  ScopedFileSyscalls& operator=(const ScopedFileSyscalls&) = delete;

 private:
  FileSyscalls saved_;
};

struct SyscallCloser {
  static int close(int fd) { return fileSyscalls().close(fd); }
};
using Fd = base::UniqueFd<SyscallCloser>;

}  // namespace imaging
