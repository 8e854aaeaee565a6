#pragma once
// A file descriptor with one owner: closed when the owner goes away, unless it
// was released. `Closer::close(int)` closes it, so each layer closes through
// its own system-call seam and its tests can count or fail the closes.

namespace base {

template <class Closer>
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
  void reset(int fd = -1) {
    if (fd_ >= 0 && fd_ != fd) Closer::close(fd_);
    fd_ = fd;
  }
  // Closes now and gives close()'s own result (0, or -1 with errno set): on
  // some file systems a failed write shows up only here.
  int closeNow() {
    const int fd = release();
    return fd < 0 ? 0 : Closer::close(fd);
  }

 private:
  int fd_ = -1;
};

}  // namespace base
