#pragma once
// A decoded picture as every codec here hands it over: 8-bit RGB, rows top to
// bottom, no padding. Alpha never survives a conversion (the formats written
// carry none), so it is resolved against white by the readers.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3 bytes

  std::size_t rowBytes() const { return static_cast<std::size_t>(width) * 3; }
  std::uint8_t* row(int y) { return pixels.data() + rowBytes() * static_cast<std::size_t>(y); }
  const std::uint8_t* row(int y) const {
    return pixels.data() + rowBytes() * static_cast<std::size_t>(y);
  }
};

}  // namespace imaging
