#pragma once
// Source pictures whose every pixel differs from its neighbours, and the
// pixel-by-pixel answer a rectangle copy must give, worked out the slow way.

#include <QImage>
#include <QList>
#include <QRect>

namespace picturetest {

// Every pixel a different colour; none of them black.
inline QImage truecolourPattern(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb(40 + (x * 7) % 200, 40 + (y * 11) % 200, 40 + (x + y) % 200));
  return image;
}

// 256 distinct colours; black among them only when `withBlack`.
inline QList<QRgb> distinctColours(bool withBlack) {
  QList<QRgb> colours;
  for (int i = 0; i < 256; ++i) colours.append(qRgb(i, 255 - i, 10 + (i * 37) % 240));
  if (withBlack) colours[200] = qRgb(0, 0, 0);
  return colours;
}

inline QImage indexedPattern(int width, int height, QList<QRgb> colours) {
  QImage image(width, height, QImage::Format_Indexed8);
  image.setColorTable(colours);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, uint((x + 3 * y) % colours.size()));
  return image;
}

// The colour `copy` must show at (x, y) when it holds the `size` rectangle of
// `source` whose top-left is `origin`: the source pixel, or black outside it.
inline QRgb expectedColour(const QImage& source, qint64 originX, qint64 originY, int x, int y) {
  const qint64 sx = originX + x;
  const qint64 sy = originY + y;
  if (source.isNull() || sx < 0 || sy < 0 || sx >= source.width() || sy >= source.height())
    return qRgb(0, 0, 0);
  return source.pixel(int(sx), int(sy));
}

// Empty when `copy` is exactly the rectangle of `source` at the origin; else
// where the first difference is.
inline QString compareWithSource(const QImage& copy, const QImage& source, qint64 originX,
                                 qint64 originY) {
  for (int y = 0; y < copy.height(); ++y)
    for (int x = 0; x < copy.width(); ++x) {
      const QRgb want = expectedColour(source, originX, originY, x, y);
      if (copy.pixel(x, y) != want)
        return QStringLiteral("pixel (%1, %2) is %3, want %4")
            .arg(x)
            .arg(y)
            .arg(copy.pixel(x, y), 8, 16)
            .arg(want, 8, 16);
    }
  return {};
}

}  // namespace picturetest
