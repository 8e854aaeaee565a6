#pragma once
// The pixels of an uncompressed 24-bit BMP, read where they lie in the file.
// It is the file nearly every program writes, and reading it in place spares
// the converter a decoded copy of the picture.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/imaging/image.h"
#include "platform/imaging/image_error.h"

namespace imaging {

// Blue-green-red rows when `file` is a 24-bit BI_RGB BMP with an info header
// (or a later one), bottom-up or top-down. nullopt for every other variant,
// which the general decoder takes. A file that decodeBmp refuses is refused
// here with the same error.
Result<std::optional<PixelRows>> viewBgr24Bmp(std::span<const std::uint8_t> file);

}  // namespace imaging
