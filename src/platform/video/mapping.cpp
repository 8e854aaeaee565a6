#include "platform/video/mapping.h"

#include <sys/mman.h>

#include <cerrno>

#include "platform/video/syscalls.h"

namespace video {

Mapping& Mapping::operator=(Mapping&& other) noexcept {
  if (this != &other) {
    reset();
    data_ = other.data_;
    length_ = other.length_;
    other.data_ = nullptr;
    other.length_ = 0;
  }
  return *this;
}

base::Expected<Mapping, base::SystemError> Mapping::map(int fd, std::size_t length, off_t offset) {
  if (length == 0) return base::SystemError{EINVAL, "mmap of an empty buffer"};
  void* data = syscalls().mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, offset);
  if (data == MAP_FAILED || data == nullptr) return base::SystemError::fromErrno("mmap");
  Mapping mapping;
  mapping.data_ = data;
  mapping.length_ = length;
  return mapping;
}

void Mapping::reset() {
  if (data_) syscalls().munmap(data_, length_);
  data_ = nullptr;
  length_ = 0;
}

}  // namespace video
