#include "platform/picture/surface.h"

#include <algorithm>

namespace picture {

namespace {

constexpr QRgb kBlack = 0xff000000;

QList<QRgb> greyRamp() {
  QList<QRgb> ramp(256);
  for (int i = 0; i < 256; ++i) ramp[i] = qRgb(i, i, i);
  return ramp;
}

int darkestIndex(const QList<QRgb>& table) {
  const auto brightness = [](QRgb c) { return qRed(c) + qGreen(c) + qBlue(c); };
  const auto it = std::min_element(table.cbegin(), table.cend(),
                                   [&](QRgb a, QRgb b) { return brightness(a) < brightness(b); });
  return int(it - table.cbegin());
}

bool fitsLimits(qint64 width, qint64 height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         width * height <= kMaxPixels;
}

bool isSurfaceFormat(QImage::Format format) {
  return format == QImage::Format_Indexed8 || format == QImage::Format_RGB32 ||
         format == QImage::Format_ARGB32;
}

int blackIndex(QImage& indexed) {
  const QList<QRgb> table = indexed.colorTable();
  if (const auto exact = table.indexOf(kBlack); exact >= 0) return int(exact);
  if (table.size() < 256) {
    const int added = int(table.size());
    indexed.setColorCount(added + 1);
    indexed.setColor(added, kBlack);
    return added;
  }
  return darkestIndex(table);
}

}  // namespace

QImage normalisedSurface(QImage image) {
  if (image.isNull()) return image;
  switch (image.format()) {
    case QImage::Format_Indexed8:
      if (image.colorCount() == 0) image.setColorTable(greyRamp());
      return image;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
      return image.convertToFormat(QImage::Format_Indexed8);
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
      return image;
    default:
      return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                           : QImage::Format_RGB32);
  }
}

QImage newBlackSurface(QSize size, QImage::Format format, const QList<QRgb>& colorTable) {
  if (!isSurfaceFormat(format) || !fitsLimits(size.width(), size.height())) return {};
  QImage image(size, format);
  if (image.isNull()) return image;
  if (format == QImage::Format_Indexed8) {
    image.setColorTable(colorTable);
    image.fill(uint(blackIndex(image)));
  } else {
    image.fill(kBlack);
  }
  return image;
}

}  // namespace picture
