#pragma once
// JPEG through libjpeg-turbo: decoding camera frames straight into a QImage,
// at a reduced DCT scale when the picture is wanted much smaller, and encoding
// the synthetic camera's frames.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>
#include <vector>

namespace video {

// The largest of 8, 4, 2, 1 that keeps a width × height picture at least as
// large as `target` on both sides once divided; 1 for an empty target.
int pickScaleDenominator(int width, int height, QSize target);

// A Format_RGB32 picture; a null image when the data is not a whole, sound
// JPEG (truncated, corrupt entropy data, absurd dimensions). `target` picks
// the DCT scale; an empty target decodes at full size.
QImage decodeJpeg(std::span<const std::uint8_t> data, QSize target = {});

// Decodes at the DCT scale for `size` and, when that is still larger, shrinks
// the rows to exactly `size` by area averaging as they come out of the
// decoder. A picture smaller than `size` comes back at its decoded size.
QImage decodeJpegToSize(std::span<const std::uint8_t> data, QSize size);

// Baseline JPEG of packed RGB24 rows; empty on failure.
std::vector<std::uint8_t> encodeJpeg(const std::uint8_t* rgb, int width, int height, int quality);

}  // namespace video
