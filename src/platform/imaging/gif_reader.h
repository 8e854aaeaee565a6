#pragma once
// GIF decoding with giflib: the first image only, drawn on its logical screen
// with transparent pixels and the uncovered screen white. A frame that lies
// partly outside its screen is cut to it; one wholly outside, or on an empty
// screen, is taken on its own.

#include <cstdint>
#include <span>

#include "platform/imaging/image.h"
#include "platform/imaging/image_error.h"

namespace imaging {

Result<RgbImage> decodeGif(std::span<const std::uint8_t> file);

}  // namespace imaging
