#include "platform/picture/pictureclip.h"

#include "platform/picture/rectcopy.h"
#include "platform/picture/surface.h"

namespace picture {

Picture PictureClip::clip() const {
  if (!source_.hasBitmap()) return {};
  const QImage& from = source_.image();
  QImage cut = newBlackSurface(QSize(width_, height_), from.format(), from.colorTable());
  if (cut.isNull()) return {};
  copyRect(from, x_, y_, cut, 0, 0, width_, height_);
  return Picture(std::move(cut));
}

}  // namespace picture
