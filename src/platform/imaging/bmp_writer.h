#pragma once
// BMP encoding: 24-bit, bottom-up, plain info header; what every reader takes.

#include <cstdint>
#include <vector>

#include "platform/imaging/image.h"

namespace imaging {

std::vector<std::uint8_t> encodeBmp(const RgbImage& image);

}  // namespace imaging
