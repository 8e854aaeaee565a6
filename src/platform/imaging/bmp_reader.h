#pragma once
// BMP decoding: 1/2/4/8-bit palette, RLE4/RLE8, 16/24/32-bit with or without
// bit fields, bottom-up and top-down, the old core header. Safe on any bytes.

#include <cstdint>
#include <span>

#include "platform/imaging/image.h"
#include "platform/imaging/image_error.h"

namespace imaging {

Result<RgbImage> decodeBmp(std::span<const std::uint8_t> file);

}  // namespace imaging
