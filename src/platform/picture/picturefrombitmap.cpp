#include "platform/picture/picturefrombitmap.h"

#include "platform/picture/surface.h"

namespace picture {

Picture pictureFromBitmap(Bitmap bitmap, Palette palette) {
  QImage pixels = bitmap.release();
  if (pixels.format() == QImage::Format_Indexed8 && !palette.isNull())
    pixels.setColorTable(paddedTo256(palette.colours()));
  return Picture(std::move(pixels));
}

}  // namespace picture
