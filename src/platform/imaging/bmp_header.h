#pragma once
// The headers of a BMP file (core, info and the v2-v5 extensions), checked
// and reduced to what the pixel decoder needs. No pixel is touched here.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/imaging/image_error.h"

namespace imaging {

enum class BmpEncoding { Rgb, Rle8, Rle4, BitFields };

struct BmpLayout {
  std::uint32_t headerSize = 0;  // 12 for the old core header, 16..124 for the others
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int bitCount = 0;
  BmpEncoding encoding = BmpEncoding::Rgb;
  std::array<std::uint32_t, 4> masks{};              // red, green, blue, alpha (for 16/32 bit)
  std::vector<std::array<std::uint8_t, 3>> palette;  // RGB, at most 256 entries
  std::size_t pixelOffset = 0;
};

// Sizes are checked against the limits before anything is allocated; the
// palette is cut to the entries the file really holds.
Result<BmpLayout> parseBmpHeader(std::span<const std::uint8_t> file);

// Bytes from the start of one row of an uncompressed picture to the next.
std::int64_t rowStride(const BmpLayout& layout);

// Damaged unless the file holds every row of an uncompressed picture. The last
// row may lack its padding; everything before it must be there.
Result<void> checkRowsPresent(const BmpLayout& layout, std::size_t fileSize);

}  // namespace imaging
