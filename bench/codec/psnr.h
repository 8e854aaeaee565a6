#pragma once
// Peak signal-to-noise ratio of a picture against its source, over the three
// colour channels: the measure the GIF palettes are compared by.

#include <optional>
#include <string>

#include "platform/imaging/image.h"

namespace codecbench {

// Infinity for identical pictures; nothing if the sizes differ.
std::optional<double> psnr(const imaging::RgbImage& source, const imaging::RgbImage& result);
// Decodes `path` (BMP, JPEG or GIF by its extension) with our own readers.
std::optional<imaging::RgbImage> loadPicture(const std::string& path);

}  // namespace codecbench
