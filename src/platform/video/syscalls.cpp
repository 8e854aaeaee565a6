#include "platform/video/syscalls.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/video/deviceprovider.h"

namespace video {
namespace {

const Syscalls kReal = {
    [](const char* path, int flags) { return ::open(path, flags); },
    [](int fd) { return ::close(fd); },
    [](int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); },
    [](void* address, std::size_t length, int protection, int flags, int fd, off_t offset) {
      return ::mmap(address, length, protection, flags, fd, offset);
    },
    [](void* address, std::size_t length) { return ::munmap(address, length); },
    [](pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); },
};

std::atomic<const Syscalls*> current{&kReal};

}  // namespace

const Syscalls& syscalls() {
  return *current.load(std::memory_order_acquire);
}
const Syscalls& realSyscalls() {
  return kReal;
}

ScopedSyscalls::ScopedSyscalls(const Syscalls& replacement)
    : table_(replacement), previous_(current.exchange(&table_)) {}

ScopedSyscalls::~ScopedSyscalls() {
  current.store(previous_);
}

int xioctl(int fd, unsigned long request, void* arg, const char* name) {
  for (;;) {
    if (syscalls().ioctl(fd, request, arg) == 0) return 0;
    const int err = errno;
    if (err == EINTR) continue;
    qCDebug(lcVideo) << name << "on fd" << fd << "failed:" << std::strerror(err);
    return err == 0 ? EIO : err;
  }
}

}  // namespace video
