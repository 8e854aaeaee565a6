#include "platform/imaging/bmp_reader.h"

#include <bit>
#include <new>

#include "platform/imaging/bmp_header.h"
#include "platform/imaging/bmp_rle.h"

namespace imaging {
namespace {

// One bit-field channel scaled to 0..255. A zero mask reads as 0; a
// non-contiguous mask still scales within range, since value <= mask >> shift.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    max = m >> shift;
  }
  std::uint8_t operator()(std::uint32_t pixel) const {
    if (!max) return 0;
    const std::uint64_t v = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
  }
};

int outputRow(const BmpLayout& l, std::int64_t fileRow) {
  return static_cast<int>(l.topDown ? fileRow : l.height - 1 - fileRow);
}

void putIndex(const BmpLayout& l, std::uint32_t index, std::uint8_t* out) {
  if (index < l.palette.size()) {
    const auto& c = l.palette[index];
    out[0] = c[0], out[1] = c[1], out[2] = c[2];
  } else {
    out[0] = out[1] = out[2] = 0;  // an index beyond the palette reads as black
  }
}

std::uint32_t indexAt(const std::uint8_t* row, std::int64_t x, int bits) {
  const std::int64_t bit = x * bits;
  const std::uint8_t byte = row[bit / 8];
  const int shift = 8 - bits - static_cast<int>(bit % 8);
  return (byte >> shift) & ((1u << bits) - 1);
}

std::uint32_t packedAt(const std::uint8_t* p, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Alpha counts only when some pixel has any: many writers leave the alpha
// bytes of a v4/v5 header at zero for opaque pictures.
bool usesAlpha(const BmpLayout& l, const std::uint8_t* data, std::int64_t stride) {
  if (l.masks[3] == 0) return false;
  const int bytes = l.bitCount / 8;
  for (std::int64_t y = 0; y < l.height; ++y)
    for (std::int64_t x = 0; x < l.width; ++x)
      if (packedAt(data + y * stride + x * bytes, bytes) & l.masks[3]) return true;
  return false;
}

void decodePacked(const BmpLayout& l, const std::uint8_t* data, std::int64_t stride,
                  RgbImage& img) {
  const Channel r(l.masks[0]), g(l.masks[1]), b(l.masks[2]), a(l.masks[3]);
  const bool alpha = usesAlpha(l, data, stride);
  const int bytes = l.bitCount / 8;
  for (std::int64_t y = 0; y < l.height; ++y) {
    const std::uint8_t* in = data + y * stride;
    std::uint8_t* out = img.row(outputRow(l, y));
    for (std::int64_t x = 0; x < l.width; ++x, out += 3) {
      const std::uint32_t px = packedAt(in + x * bytes, bytes);
      out[0] = r(px), out[1] = g(px), out[2] = b(px);
      if (!alpha) continue;
      const unsigned k = a(px);  // over white
      for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>((out[c] * k + 255 * (255 - k) + 127) / 255);
    }
  }
}

void decodeUncompressed(const BmpLayout& l, const std::uint8_t* data, RgbImage& img) {
  const std::int64_t stride = rowStride(l);
  if (l.bitCount == 16 || l.bitCount == 32) return decodePacked(l, data, stride, img);
  for (std::int64_t y = 0; y < l.height; ++y) {
    const std::uint8_t* in = data + y * stride;
    std::uint8_t* out = img.row(outputRow(l, y));
    for (std::int64_t x = 0; x < l.width; ++x, out += 3) {
      if (l.bitCount == 24) {
        out[0] = in[x * 3 + 2], out[1] = in[x * 3 + 1], out[2] = in[x * 3];
      } else {
        putIndex(l, indexAt(in, x, l.bitCount), out);
      }
    }
  }
}

void decodeRle(const BmpLayout& l, std::span<const std::uint8_t> stream, RgbImage& img) {
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(l.width * l.height), 0);
  decodeBmpRle(stream, l.encoding == BmpEncoding::Rle4, l.width, l.height, indices);
  for (std::int64_t y = 0; y < l.height; ++y) {
    const std::uint8_t* in = indices.data() + y * l.width;
    std::uint8_t* out = img.row(outputRow(l, y));
    for (std::int64_t x = 0; x < l.width; ++x, out += 3) putIndex(l, in[x], out);
  }
}

}  // namespace

Result<RgbImage> decodeBmp(std::span<const std::uint8_t> file) {
  auto layout = parseBmpHeader(file);
  if (!layout) return layout.error();
  const BmpLayout& l = *layout;
  const bool rle = l.encoding == BmpEncoding::Rle4 || l.encoding == BmpEncoding::Rle8;
  if (!rle) {
    if (auto present = checkRowsPresent(l, file.size()); !present) return present.error();
  }
  try {
    RgbImage img;
    img.width = static_cast<int>(l.width);
    img.height = static_cast<int>(l.height);
    img.pixels.assign(img.rowBytes() * static_cast<std::size_t>(img.height), 0);
    if (rle)
      decodeRle(l, file.subspan(l.pixelOffset), img);
    else
      decodeUncompressed(l, file.data() + l.pixelOffset, img);
    return img;
  } catch (const std::bad_alloc&) {
    return ImageError::TooLarge;
  }
}

}  // namespace imaging
