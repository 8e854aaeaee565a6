#pragma once
// Packed YUYV 4:2:2 (BT.601, video range, as webcams send it) to RGB.

#include <QImage>
#include <cstdint>
#include <span>

namespace video {

// A Format_RGB32 picture; null when the data is shorter than the frame it
// claims to be or the geometry is impossible.
QImage convertYuyv(std::span<const std::uint8_t> data, int width, int height,
                   std::uint32_t bytesPerLine);

}  // namespace video
