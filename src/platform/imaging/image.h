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

enum class ChannelOrder { Rgb, Bgr };

// Rows of 3-byte pixels lent from memory someone else owns, top row first,
// any distance apart: lets the JPEG encoder read a BMP file's rows where they
// lie (a bottom-up file's backwards) instead of from a copy.
struct PixelRows {
  int width = 0;
  int height = 0;
  ChannelOrder order = ChannelOrder::Rgb;
  const std::uint8_t* top = nullptr;
  std::ptrdiff_t step = 0;  // from one row to the one below it; negative for bottom-up

  const std::uint8_t* row(int y) const { return top + step * y; }
};

inline PixelRows rowsOf(const RgbImage& image) {
  return {image.width, image.height, ChannelOrder::Rgb, image.pixels.data(),
          static_cast<std::ptrdiff_t>(image.rowBytes())};
}

}  // namespace imaging
