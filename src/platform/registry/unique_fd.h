#pragma once
// A file descriptor with one owner: closed when the owner goes away, unless
// it was released or closed explicitly (where the close result matters).

#include "platform/registry/result.h"

namespace registry {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1);
  // Closes now and reports what close said: on some file systems a failed
  // write shows up only here.
  Result<void> close();

 private:
  int fd_ = -1;
};

// open() through the seam, retried on EINTR, always with O_CLOEXEC.
Result<UniqueFd> openFd(const char* path, int flags, unsigned mode = 0);

}  // namespace registry
