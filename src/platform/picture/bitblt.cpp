#include "platform/picture/bitblt.h"

#include "platform/picture/picturelog.h"
#include "platform/picture/rectcopy.h"

namespace picture {

bool BitBlt(DeviceContext& target, int x, int y, int width, int height, const DeviceContext& source,
            int sourceX, int sourceY, std::uint32_t rasterOperation) {
  if (rasterOperation != SRCCOPY) {
    qCWarning(lcPicture) << "BitBlt: raster operation" << Qt::hex << rasterOperation
                         << "is not offered";
    return false;
  }
  QImage* surface = target.drawingSurface();
  if (!surface || width <= 0 || height <= 0) return false;
  // Taken by value first: source and target may be the same context.
  const QImage from = source.pixels();
  copyRect(from, sourceX, sourceY, *surface, x, y, width, height);
  return true;
}

}  // namespace picture
