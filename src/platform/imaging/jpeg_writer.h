#pragma once
// JPEG encoding with libjpeg-turbo: baseline, optimised Huffman tables, 4:2:0
// chroma below quality 90 and 4:4:4 from 90 on.

#include <cstdint>
#include <vector>

#include "platform/imaging/image.h"
#include "platform/imaging/image_error.h"

namespace imaging {

inline constexpr int kFullChromaQuality = 90;

// `quality` must already be within 1..100 (see quality.h).
Result<std::vector<std::uint8_t>> encodeJpeg(const RgbImage& image, int quality);

}  // namespace imaging
