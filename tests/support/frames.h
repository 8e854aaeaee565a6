#pragma once
// Whether a camera picture has arrived: a live frame of the synthetic camera
// is mostly bright colour bars, a window without a frame is black.

#include <QImage>
#include <QRect>

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

}  // namespace testsupport
