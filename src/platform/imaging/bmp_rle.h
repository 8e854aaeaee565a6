#pragma once
// Run-length decoding of 4- and 8-bit BMP pixels into one palette index per
// pixel. Runs and deltas that leave the line or the picture are cut, never
// written outside `indices`; pixels the stream skips keep index 0.

#include <cstdint>
#include <span>

namespace imaging {

// `indices` holds width * height entries, rows in file order.
void decodeBmpRle(std::span<const std::uint8_t> stream, bool fourBit, std::int64_t width,
                  std::int64_t height, std::span<std::uint8_t> indices);

}  // namespace imaging
