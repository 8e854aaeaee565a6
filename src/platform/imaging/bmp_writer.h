#pragma once
// BMP encoding: 24-bit, bottom-up, plain info header; what every reader takes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/imaging/image.h"

namespace imaging {

inline constexpr std::size_t kBmpHeaderBytes = 14 + 40;
inline constexpr std::uint32_t kBmpPixelsPerMetre = 2835;  // 72 dpi

// Row length in the file, padded to 4 bytes.
std::size_t bmpRowStride(int width);
std::size_t bmpFileSize(int width, int height);

// Lays out a file of bmpFileSize bytes at `file`: writes the headers and
// clears each row's padding, leaving the pixels (blue-green-red, bottom row
// first, from kBmpHeaderBytes on) to the caller. Sizes within the reader
// limits.
void layOutBmp(std::uint8_t* file, int width, int height,
               std::uint32_t pixelsPerMetre = kBmpPixelsPerMetre);

std::vector<std::uint8_t> encodeBmp(const RgbImage& image);
// From rows lent in either channel order; blue-green-red rows are copied as
// they are. `pixelsPerMetre` is the resolution the header states.
std::vector<std::uint8_t> encodeBmp(const PixelRows& rows,
                                    std::uint32_t pixelsPerMetre = kBmpPixelsPerMetre);

}  // namespace imaging
