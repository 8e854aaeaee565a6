#pragma once
// The system calls the V4L2 code makes, behind one table that tests replace
// with a fake device. Everything that opens, maps, polls or talks to a device
// node goes through syscalls(); nothing else in the layer calls them directly.

#include <poll.h>
#include <sys/types.h>

#include <cstddef>

#include "platform/base/unique_fd.h"

namespace video {

struct Syscalls {
  int (*open)(const char* path, int flags);
  int (*close)(int fd);
  int (*ioctl)(int fd, unsigned long request, void* arg);
  void* (*mmap)(void* address, std::size_t length, int protection, int flags, int fd, off_t offset);
  int (*munmap)(void* address, std::size_t length);
  int (*poll)(pollfd* fds, nfds_t count, int timeoutMs);
};

const Syscalls& syscalls();
const Syscalls& realSyscalls();

// Installs another table for the lifetime of the object. Only swap tables
// while no device is open: calls in flight keep using the table they read.
class ScopedSyscalls {
 public:
  explicit ScopedSyscalls(const Syscalls& replacement);
  ~ScopedSyscalls();
  ScopedSyscalls(const ScopedSyscalls&) = delete;
  ScopedSyscalls& operator=(const ScopedSyscalls&) = delete;

 private:
  Syscalls table_;
  const Syscalls* previous_;
};

// Descriptors of the video layer, closed through the table.
struct SyscallsClose {
  static int close(int fd) { return syscalls().close(fd); }
};
using UniqueFd = base::UniqueFd<SyscallsClose>;

// One ioctl through the table, retried on EINTR. Returns 0 or the errno, and
// names the failing request in the video log.
int xioctl(int fd, unsigned long request, void* arg, const char* name);

}  // namespace video

#define VIDEO_IOCTL(fd, request, arg) ::video::xioctl((fd), (request), (arg), #request)
