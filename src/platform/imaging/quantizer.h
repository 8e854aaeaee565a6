#pragma once
// Colour reduction for GIF. The palette comes from a variance-minimising
// median cut over a 6-bit-per-channel histogram (each bin keeps the exact
// mean of its colours), refined by a few k-means passes; pictures with at most
// `maxColors` distinct colours keep them exactly.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/imaging/image.h"

namespace imaging {

using Rgb = std::array<std::uint8_t, 3>;

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> palette;
  std::vector<std::uint8_t> indices;  // width * height, rows top to bottom
};

struct QuantizeOptions {
  int maxColors = 256;   // 2..256
  int refinePasses = 4;  // k-means passes after the cut
  bool dither = true;    // Floyd-Steinberg error diffusion
};

std::vector<Rgb> buildPalette(const RgbImage& image, const QuantizeOptions& options);

// Each pixel to its nearest palette colour, with or without error diffusion.
IndexedImage remapToPalette(const RgbImage& image, std::vector<Rgb> palette, bool dither);

IndexedImage quantize(const RgbImage& image, const QuantizeOptions& options = {});

}  // namespace imaging
