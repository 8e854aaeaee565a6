#pragma once
// Bytes on the heap that are not cleared when they are allocated. Every
// buffer made here is overwritten at once (a file read into it, a picture
// decoded into it), and clearing megabytes first would be one more pass over
// memory for nothing. malloc'ed, so that a buffer grown with realloc (the
// JPEG destination) can be handed over without a copy.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "platform/imaging/image_error.h"

namespace imaging {

class ByteBuffer {
 public:
  ByteBuffer() = default;

  // TooLarge when the memory is not there.
  static Result<ByteBuffer> allocate(std::size_t size);
  // Takes over a block from malloc or realloc holding `size` bytes.
  static ByteBuffer adopt(std::uint8_t* block, std::size_t size);

  std::uint8_t* data() { return bytes_.get(); }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }
  std::span<std::uint8_t> span() { return {bytes_.get(), size_}; }
  std::span<const std::uint8_t> span() const { return {bytes_.get(), size_}; }

  // Forgets the bytes from `size` on; the memory stays allocated.
  void shrink(std::size_t size) { size_ = size < size_ ? size : size_; }

 private:
  struct Free {
    void operator()(std::uint8_t* block) const { std::free(block); }
  };
  ByteBuffer(std::uint8_t* block, std::size_t size) : bytes_(block), size_(size) {}

  std::unique_ptr<std::uint8_t[], Free> bytes_;
  std::size_t size_ = 0;
};

}  // namespace imaging
