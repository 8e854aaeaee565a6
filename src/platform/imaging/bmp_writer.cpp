#include "platform/imaging/bmp_writer.h"

#include <cstddef>

namespace imaging {
namespace {

constexpr std::uint32_t kHeaders = 14 + 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi

void put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
  put16(p, v & 0xFFFF);
  put16(p + 2, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const RgbImage& image) {
  // Sizes are within the reader limits, so every field fits 32 bits.
  const std::size_t stride = (image.rowBytes() + 3) & ~std::size_t{3};
  const std::size_t pixelBytes = stride * static_cast<std::size_t>(image.height);
  std::vector<std::uint8_t> out(kHeaders + pixelBytes, 0);
  std::uint8_t* h = out.data();
  h[0] = 'B', h[1] = 'M';
  put32(h + 2, static_cast<std::uint32_t>(out.size()));
  put32(h + 10, kHeaders);
  put32(h + 14, 40);
  put32(h + 18, static_cast<std::uint32_t>(image.width));
  put32(h + 22, static_cast<std::uint32_t>(image.height));
  put16(h + 26, 1);
  put16(h + 28, 24);
  put32(h + 34, static_cast<std::uint32_t>(pixelBytes));
  put32(h + 38, kPixelsPerMetre);
  put32(h + 42, kPixelsPerMetre);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* in = image.row(image.height - 1 - y);
    std::uint8_t* row = h + kHeaders + stride * static_cast<std::size_t>(y);
    for (int x = 0; x < image.width; ++x) {
      row[x * 3] = in[x * 3 + 2];
      row[x * 3 + 1] = in[x * 3 + 1];
      row[x * 3 + 2] = in[x * 3];
    }
  }
  return out;
}

}  // namespace imaging
