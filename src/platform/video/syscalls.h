#pragma once
// The system calls the V4L2 code makes, behind one table that tests replace
// with a fake device. Everything that opens, maps, polls or talks to a device
// node goes through sys(); nothing else in the layer calls them directly.

#include <poll.h>
#include <sys/types.h>

#include <cstddef>

namespace video {

struct SysCalls {
  int (*open)(const char* path, int flags);
  int (*close)(int fd);
  int (*ioctl)(int fd, unsigned long request, void* arg);
  void* (*mmap)(void* address, std::size_t length, int protection, int flags, int fd, off_t offset);
  int (*munmap)(void* address, std::size_t length);
  int (*poll)(pollfd* fds, nfds_t count, int timeoutMs);
};

const SysCalls& sys();
const SysCalls& realSysCalls();

// Installs another table for the lifetime of the object. Only swap tables
// while no device is open: calls in flight keep using the table they read.
class ScopedSysCalls {
 public:
  explicit ScopedSysCalls(const SysCalls& replacement);
  ~ScopedSysCalls();
  ScopedSysCalls(const ScopedSysCalls&) = delete;
  ScopedSysCalls& operator=(const ScopedSysCalls&) = delete;

 private:
  SysCalls table_;
  const SysCalls* previous_;
};

// One ioctl through the table, retried on EINTR. Returns 0 or the errno, and
// names the failing request in the video log.
int xioctl(int fd, unsigned long request, void* arg, const char* name);

}  // namespace video

#define VIDEO_IOCTL(fd, request, arg) ::video::xioctl((fd), (request), (arg), #request)
