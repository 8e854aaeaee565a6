#include "platform/imaging/bmp_writer.h"

#include <cstring>

namespace imaging {
namespace {

void put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
  put16(p, v & 0xFFFF);
  put16(p + 2, v >> 16);
}

void writeHeaders(std::uint8_t* h, int width, int height, std::uint32_t pixelsPerMetre) {
  // Sizes are within the reader limits, so every field fits 32 bits.
  std::memset(h, 0, kBmpHeaderBytes);
  h[0] = 'B', h[1] = 'M';
  put32(h + 2, static_cast<std::uint32_t>(bmpFileSize(width, height)));
  put32(h + 10, kBmpHeaderBytes);
  put32(h + 14, 40);
  put32(h + 18, static_cast<std::uint32_t>(width));
  put32(h + 22, static_cast<std::uint32_t>(height));
  put16(h + 26, 1);
  put16(h + 28, 24);
  put32(h + 34, static_cast<std::uint32_t>(bmpFileSize(width, height) - kBmpHeaderBytes));
  put32(h + 38, pixelsPerMetre);
  put32(h + 42, pixelsPerMetre);
}

}  // namespace

std::size_t bmpRowStride(int width) {
  return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

std::size_t bmpFileSize(int width, int height) {
  return kBmpHeaderBytes + bmpRowStride(width) * static_cast<std::size_t>(height);
}

void layOutBmp(std::uint8_t* file, int width, int height, std::uint32_t pixelsPerMetre) {
  writeHeaders(file, width, height, pixelsPerMetre);
  const std::size_t stride = bmpRowStride(width);
  const std::size_t used = static_cast<std::size_t>(width) * 3;
  if (stride == used) return;
  std::uint8_t* row = file + kBmpHeaderBytes;
  for (int y = 0; y < height; ++y, row += stride) std::memset(row + used, 0, stride - used);
}

std::vector<std::uint8_t> encodeBmp(const RgbImage& image) {
  return encodeBmp(rowsOf(image));
}

std::vector<std::uint8_t> encodeBmp(const PixelRows& rows, std::uint32_t pixelsPerMetre) {
  std::vector<std::uint8_t> out(bmpFileSize(rows.width, rows.height));
  layOutBmp(out.data(), rows.width, rows.height, pixelsPerMetre);
  const std::size_t stride = bmpRowStride(rows.width);
  const std::size_t used = static_cast<std::size_t>(rows.width) * 3;
  for (int y = 0; y < rows.height; ++y) {
    const std::uint8_t* in = rows.row(rows.height - 1 - y);
    std::uint8_t* row = out.data() + kBmpHeaderBytes + stride * static_cast<std::size_t>(y);
    if (rows.order == ChannelOrder::Bgr) {
      std::memcpy(row, in, used);
      continue;
    }
    for (int x = 0; x < rows.width; ++x) {
      row[x * 3] = in[x * 3 + 2];
      row[x * 3 + 1] = in[x * 3 + 1];
      row[x * 3 + 2] = in[x * 3];
    }
  }
  return out;
}

}  // namespace imaging
