#pragma once
// Camera frames for tests: whether a picture has arrived (a live frame of
// the synthetic camera is mostly bright colour bars, a window without a frame
// is black), and MJPEG frames made from known pixels.

#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

#include "platform/imaging/jpeg_writer.h"

namespace testsupport {

// True when some sampled pixel of `area` (the whole image when empty) is
// clearly brighter than black.
inline bool hasPicture(const QImage& image, QRect area = QRect()) {
  if (image.isNull()) return false;
  if (area.isEmpty()) area = image.rect();
  area = area.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); y += 5)
    for (int x = area.left(); x <= area.right(); x += 5)
      if (qGray(image.pixel(x, y)) > 40) return true;
  return false;
}

// Packed RGB rows as the JPEG a camera would send (standard Huffman tables),
// by the program's own encoder; empty if it fails.
inline std::vector<std::uint8_t> jpegFrame(const std::vector<std::uint8_t>& rgb, int width,
                                           int height, int quality) {
  const imaging::PixelRows rows{width, height, imaging::ChannelOrder::Rgb, rgb.data(),
                                static_cast<std::ptrdiff_t>(width) * 3};
  const auto jpeg = imaging::encodeJpegRows(rows, quality, imaging::HuffmanTables::Standard);
  if (!jpeg) return {};
  const auto bytes = jpeg->span();
  return {bytes.begin(), bytes.end()};
}

}  // namespace testsupport
