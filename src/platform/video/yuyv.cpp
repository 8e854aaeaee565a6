#include "platform/video/yuyv.h"

#include <algorithm>

namespace video {
namespace {

inline std::uint32_t clampChannel(int value) {
  return static_cast<std::uint32_t>(std::clamp(value >> 8, 0, 255));
}

// Fixed point, 8 fractional bits: 298 = 1.164, 409 = 1.596, 100 = 0.391,
// 208 = 0.813, 516 = 2.018.
inline QRgb pixel(int y, int u, int v) {
  const int c = 298 * (y - 16) + 128;
  const int d = u - 128;
  const int e = v - 128;
  return 0xFF000000u | (clampChannel(c + 409 * e) << 16) |
         (clampChannel(c - 100 * d - 208 * e) << 8) | clampChannel(c + 516 * d);
}

void convertRow(const std::uint8_t* in, QRgb* out, int width) {
  for (int x = 0; x + 1 < width; x += 2, in += 4) {
    out[x] = pixel(in[0], in[1], in[3]);
    out[x + 1] = pixel(in[2], in[1], in[3]);
  }
  if (width % 2) out[width - 1] = pixel(in[0], in[1], in[3]);
}

}  // namespace

QImage convertYuyv(std::span<const std::uint8_t> data, int width, int height,
                   std::uint32_t bytesPerLine) {
  if (width <= 0 || height <= 0) return {};
  const std::size_t rowBytes = static_cast<std::size_t>((width + 1) / 2) * 4;
  const std::size_t stride = std::max<std::size_t>(bytesPerLine, rowBytes);
  if (data.size() < stride * (height - 1) + rowBytes) return {};
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return {};
  for (int y = 0; y < height; ++y)
    convertRow(data.data() + stride * y, reinterpret_cast<QRgb*>(image.scanLine(y)), width);
  return image;
}

}  // namespace video
