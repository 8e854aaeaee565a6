#pragma once
// Camera frames in JPEG (MJPEG) straight into a QImage, at a reduced DCT
// scale when the picture is wanted much smaller. The decoding itself is the
// codec's (imaging::Decompressor, with its error manager and limits).

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>

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

}  // namespace video
