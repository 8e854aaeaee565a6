#include "platform/imaging/bmp_header.h"

#include <algorithm>

#include "platform/imaging/byte_reader.h"
#include "platform/imaging/limits.h"

namespace imaging {
namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kOs2ShortHeader = 16;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kOs2Header = 64;

struct RawHeader {
  std::uint32_t size = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
};

Result<RawHeader> readRawHeader(const ByteReader& in) {
  RawHeader h;
  h.size = in.u32(kFileHeader).value_or(0);
  if (h.size == kCoreHeader) {
    if (!in.has(kFileHeader, kCoreHeader)) return ImageError::Damaged;
    h.width = *in.u16(18);
    h.height = *in.u16(20);
    h.bitCount = *in.u16(24);
    return h;
  }
  if (h.size < kOs2ShortHeader || !in.has(kFileHeader, h.size)) return ImageError::Damaged;
  h.width = *in.i32(18);
  const std::int64_t height = *in.i32(22);
  h.topDown = height < 0;
  h.height = height < 0 ? -height : height;
  h.bitCount = *in.u16(28);
  if (h.size >= 20) h.compression = *in.u32(30);
  if (h.size >= 50) h.colorsUsed = *in.u32(46);
  return h;
}

Result<BmpEncoding> encodingOf(const RawHeader& h) {
  switch (h.compression) {
    case 0:
      if (h.bitCount == 1 || h.bitCount == 2 || h.bitCount == 4 || h.bitCount == 8 ||
          h.bitCount == 16 || h.bitCount == 24 || h.bitCount == 32)
        return BmpEncoding::Rgb;
      return h.bitCount == 64 ? ImageError::Unsupported : ImageError::Damaged;
    case 1:
      if (h.bitCount != 8) return ImageError::Damaged;
      return BmpEncoding::Rle8;
    case 2:
      if (h.bitCount != 4) return ImageError::Damaged;
      return BmpEncoding::Rle4;
    case 3:
    case 6:
      // OS/2 gives 3 the meaning of Huffman-coded bilevel pictures.
      if (h.size == kOs2Header) return ImageError::Unsupported;
      if (h.bitCount != 16 && h.bitCount != 32) return ImageError::Damaged;
      return BmpEncoding::BitFields;
    case 4:  // embedded JPEG
    case 5:  // embedded PNG
      return ImageError::Unsupported;
    default:
      return ImageError::Damaged;
  }
}

// Masks live in the v2+ header itself, or right after a plain info header.
// Returns how many bytes of masks followed the header.
std::size_t readMasks(const ByteReader& in, const RawHeader& h, BmpLayout& out) {
  if (out.encoding != BmpEncoding::BitFields) {
    if (out.bitCount == 16) out.masks = {0x7C00, 0x03E0, 0x001F, 0};
    if (out.bitCount == 32) out.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    return 0;
  }
  const bool inHeader = h.size >= 52 && h.size != kOs2Header;
  const std::size_t count = h.compression == 6 ? 4 : 3;
  const std::size_t at = inHeader ? kFileHeader + kInfoHeader : kFileHeader + h.size;
  for (std::size_t i = 0; i < 4; ++i) {
    const bool present = inHeader ? (i < 3 || h.size >= 56) : i < count;
    if (present) out.masks[i] = in.u32(at + 4 * i).value_or(0);
  }
  return inHeader ? 0 : 4 * count;
}

void readPalette(const ByteReader& in, const RawHeader& h, std::size_t start, BmpLayout& out) {
  if (out.bitCount > 8) return;
  const std::size_t maxEntries = std::size_t{1} << out.bitCount;
  std::size_t entries = h.colorsUsed ? std::min<std::size_t>(h.colorsUsed, maxEntries) : maxEntries;
  const std::size_t entrySize = h.size == kCoreHeader ? 3 : 4;
  // With no pixel offset given, the palette may run up to the end of the file.
  const std::size_t end = out.pixelOffset != 0 ? out.pixelOffset : in.size();
  entries = std::min(entries, (end - std::min(end, start)) / entrySize);
  out.palette.reserve(entries);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::uint8_t* p = in.data() + start + i * entrySize;
    out.palette.push_back({p[2], p[1], p[0]});
  }
}

}  // namespace

Result<BmpLayout> parseBmpHeader(std::span<const std::uint8_t> file) {
  const ByteReader in(file);
  if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') return ImageError::NotThisType;
  auto raw = readRawHeader(in);
  if (!raw) return raw.error();
  auto encoding = encodingOf(*raw);
  if (!encoding) return encoding.error();
  if (auto fits = checkDimensions(raw->width, raw->height); !fits) return fits.error();

  BmpLayout out;
  out.headerSize = raw->size;
  out.width = raw->width;
  out.height = raw->height;
  out.topDown = raw->topDown;
  out.bitCount = raw->bitCount;
  out.encoding = *encoding;
  const std::size_t afterMasks = kFileHeader + raw->size + readMasks(in, *raw, out);
  out.pixelOffset = in.u32(10).value_or(0);
  if (out.pixelOffset != 0 && (out.pixelOffset < afterMasks || out.pixelOffset >= file.size()))
    return ImageError::Damaged;
  readPalette(in, *raw, afterMasks, out);
  if (out.pixelOffset == 0) {
    out.pixelOffset = afterMasks + out.palette.size() * (raw->size == kCoreHeader ? 3 : 4);
    if (out.pixelOffset >= file.size()) return ImageError::Damaged;
  }
  if (out.bitCount <= 8 && out.palette.empty()) return ImageError::Damaged;
  return out;
}

std::int64_t rowStride(const BmpLayout& layout) {
  return (layout.width * layout.bitCount + 31) / 32 * 4;
}

Result<void> checkRowsPresent(const BmpLayout& layout, std::size_t fileSize) {
  const std::int64_t needed =
      rowStride(layout) * (layout.height - 1) + (layout.width * layout.bitCount + 7) / 8;
  if (static_cast<std::int64_t>(fileSize - layout.pixelOffset) < needed) return ImageError::Damaged;
  return {};
}

}  // namespace imaging
