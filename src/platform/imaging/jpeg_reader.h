#pragma once
// JPEG decoding with libjpeg-turbo: greyscale, YCbCr and (Adobe) CMYK to RGB.
// A stream cut short, or a progressive one with more than 100 scans, is
// refused as damaged.

#include <cstdint>
#include <span>

#include "platform/imaging/image.h"
#include "platform/imaging/image_error.h"

namespace imaging {

Result<RgbImage> decodeJpeg(std::span<const std::uint8_t> file);

}  // namespace imaging
