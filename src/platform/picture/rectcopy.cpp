#include "platform/picture/rectcopy.h"

#include <algorithm>
#include <cstring>

#include "platform/picture/surface.h"

namespace picture {

namespace {

// A half-open run of coordinates along one axis, wide enough that adding an
// int size to an int coordinate cannot overflow.
struct Run {
  qint64 begin = 0;
  qint64 end = 0;
  bool empty() const { return end <= begin; }
  qint64 length() const { return end - begin; }
};

Run intersect(Run a, Run b) {
  return {std::max(a.begin, b.begin), std::min(a.end, b.end)};
}

// The source part in the target's pixel format; the same image when the rows
// can be copied as they are.
QImage inTargetFormat(const QImage& source, QRect& part, const QImage& target) {
  if (source.format() == target.format()) return source;
  QImage piece = source.copy(part);
  part = piece.rect();
  if (target.format() != QImage::Format_Indexed8) return piece.convertToFormat(target.format());
  return piece.convertToFormat(QImage::Format_Indexed8, target.colorTable(), Qt::AvoidDither);
}

void copyRows(const QImage& from, QRect part, QImage& target, QPoint at) {
  const int bytesPerPixel = target.depth() / 8;
  const auto rowBytes = std::size_t(part.width()) * bytesPerPixel;
  for (int row = 0; row < part.height(); ++row) {
    std::memcpy(target.scanLine(at.y() + row) + std::size_t(at.x()) * bytesPerPixel,
                from.constScanLine(part.y() + row) + std::size_t(part.x()) * bytesPerPixel,
                rowBytes);
  }
}

}  // namespace

QImage copyRect(const QImage& source, int x, int y, int width, int height, QImage::Format format,
                const QList<QRgb>& colorTable) {
  QImage target = newBlackSurface(QSize(width, height), format, colorTable);
  if (target.isNull() || source.isNull()) return target;
  // The part of the rectangle that lies on the source, in source coordinates.
  const Run xs = intersect({x, qint64(x) + width}, {0, source.width()});
  const Run ys = intersect({y, qint64(y) + height}, {0, source.height()});
  if (xs.empty() || ys.empty()) return target;
  QRect part(int(xs.begin), int(ys.begin), int(xs.length()), int(ys.length()));
  const QPoint at(int(xs.begin - x), int(ys.begin - y));
  const QImage from = inTargetFormat(source, part, target);
  copyRows(from, part, target, at);
  return target;
}

}  // namespace picture
