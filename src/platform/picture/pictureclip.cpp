#include "platform/picture/pictureclip.h"

#include "platform/picture/rectcopy.h"

namespace picture {

Picture PictureClip::clip() const {
  if (!source_.hasBitmap()) return {};
  const QImage& from = source_.image();
  QImage cut = copyRect(from, x_, y_, width_, height_, from.format(), from.colorTable());
  if (cut.isNull()) return {};
  return Picture(std::move(cut));
}

}  // namespace picture
