#pragma once
// Owns one memory mapping of a device buffer; unmaps it through the
// system-call table.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"

namespace video {

class Mapping {
 public:
  Mapping() = default;
  ~Mapping() { reset(); }
  Mapping(Mapping&& other) noexcept { *this = std::move(other); }
  Mapping& operator=(Mapping&& other) noexcept;
  Mapping(const Mapping&) = delete;
  Mapping& operator=(const Mapping&) = delete;

  // A shared read/write mapping of `length` bytes of `fd` at `offset`.
  static base::Expected<Mapping, base::SystemError> map(int fd, std::size_t length, off_t offset);

  std::span<const std::uint8_t> bytes() const {
    return {static_cast<const std::uint8_t*>(data_), length_};
  }
  std::size_t length() const { return length_; }
  bool isValid() const { return data_ != nullptr; }
  // Gives up ownership: the caller unmaps the returned bytes.
  std::span<std::uint8_t> release() {
    std::span<std::uint8_t> bytes(static_cast<std::uint8_t*>(data_), length_);
    data_ = nullptr;
    length_ = 0;
    return bytes;
  }
  void reset();

 private:
  void* data_ = nullptr;
  std::size_t length_ = 0;
};

}  // namespace video
