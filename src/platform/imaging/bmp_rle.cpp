#include "platform/imaging/bmp_rle.h"

#include <cstddef>

namespace imaging {
namespace {

class RleCanvas {
 public:
  RleCanvas(std::int64_t width, std::int64_t height, std::span<std::uint8_t> indices)
      : width_(width), height_(height), indices_(indices) {}

  void put(std::uint8_t index) {
    if (x_ < width_ && y_ < height_) indices_[static_cast<std::size_t>(y_ * width_ + x_)] = index;
    ++x_;
  }
  void newLine() {
    x_ = 0;
    ++y_;
  }
  void move(std::int64_t dx, std::int64_t dy) {
    x_ += dx;
    y_ += dy;
  }
  bool done() const { return y_ >= height_; }

 private:
  std::int64_t width_, height_;
  std::span<std::uint8_t> indices_;
  std::int64_t x_ = 0, y_ = 0;
};

std::uint8_t nibbleOrByte(std::uint8_t byte, bool fourBit, int i) {
  if (!fourBit) return byte;
  return (i & 1) ? (byte & 0x0F) : (byte >> 4);
}

// Absolute mode: `count` literal pixels, the stream padded to a 16-bit word.
std::size_t copyLiteral(std::span<const std::uint8_t> s, std::size_t pos, int count, bool fourBit,
                        RleCanvas& canvas) {
  const std::size_t bytes = fourBit ? (static_cast<std::size_t>(count) + 1) / 2 : count;
  for (int i = 0; i < count; ++i) {
    const std::size_t at = pos + (fourBit ? i / 2 : i);
    if (at >= s.size()) return s.size();
    canvas.put(nibbleOrByte(s[at], fourBit, i));
  }
  return pos + bytes + (bytes & 1);
}

}  // namespace

void decodeBmpRle(std::span<const std::uint8_t> s, bool fourBit, std::int64_t width,
                  std::int64_t height, std::span<std::uint8_t> indices) {
  RleCanvas canvas(width, height, indices);
  std::size_t pos = 0;
  while (pos + 1 < s.size() && !canvas.done()) {
    const std::uint8_t count = s[pos];
    const std::uint8_t value = s[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) canvas.put(nibbleOrByte(value, fourBit, i));
      continue;
    }
    switch (value) {
      case 0:
        canvas.newLine();
        break;
      case 1:
        return;
      case 2:
        if (pos + 1 >= s.size()) return;
        canvas.move(s[pos], s[pos + 1]);
        pos += 2;
        break;
      default:
        pos = copyLiteral(s, pos, value, fourBit, canvas);
        break;
    }
  }
}

}  // namespace imaging
