#pragma once
// GIF89a encoding with giflib: one image, its palette as the global colour table.

#include <cstdint>
#include <vector>

#include "platform/imaging/image_error.h"
#include "platform/imaging/quantizer.h"

namespace imaging {

Result<std::vector<std::uint8_t>> encodeGif(const IndexedImage& image);

// Quantizes (see quantizer.h) and encodes.
Result<std::vector<std::uint8_t>> encodeGif(const RgbImage& image, const QuantizeOptions& options);

}  // namespace imaging
