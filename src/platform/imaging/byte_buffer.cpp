#include "platform/imaging/byte_buffer.h"

namespace imaging {

Result<ByteBuffer> ByteBuffer::allocate(std::size_t size) {
  // malloc(0) may give a null pointer; an empty buffer still owns a block.
  auto* block = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
  if (!block) return ImageError::TooLarge;
  return ByteBuffer(block, size);
}

ByteBuffer ByteBuffer::adopt(std::uint8_t* block, std::size_t size) {
  return ByteBuffer(block, size);
}

}  // namespace imaging
