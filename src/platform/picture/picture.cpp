#include "platform/picture/picture.h"

#include "platform/picture/surface.h"

Q_LOGGING_CATEGORY(lcPicture, "tandeo.picture", QtCriticalMsg)

namespace picture {

Picture::Picture(QImage image) : image_(normalisedSurface(std::move(image))) {}

QList<QRgb> Picture::palette() const {
  return isIndexed() ? image_.colorTable() : QList<QRgb>();
}

}  // namespace picture
