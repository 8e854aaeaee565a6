#include "platform/picture/rectcopy.h"

#include <algorithm>
#include <cstring>

#include "platform/picture/picturelog.h"
#include "platform/picture/surface.h"

namespace picture {

namespace {

// A half-open run of coordinates along one axis, wide enough that adding an
// int offset to an int coordinate cannot overflow.
struct Run {
  qint64 begin = 0;
  qint64 end = 0;
  bool empty() const { return end <= begin; }
  qint64 length() const { return end - begin; }
};

Run intersect(Run a, Run b) {
  return {std::max(a.begin, b.begin), std::min(a.end, b.end)};
}

void fillBlack(QImage& target, Run xs, Run ys) {
  if (target.format() == QImage::Format_Indexed8) {
    const auto index = uchar(blackIndex(target));
    for (qint64 y = ys.begin; y < ys.end; ++y)
      std::fill_n(target.scanLine(int(y)) + xs.begin, xs.length(), index);
    return;
  }
  for (qint64 y = ys.begin; y < ys.end; ++y)
    std::fill_n(reinterpret_cast<QRgb*>(target.scanLine(int(y))) + xs.begin, xs.length(),
                qRgb(0, 0, 0));
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

void copyRect(QImage source, int sourceX, int sourceY, QImage& target, int x, int y, int width,
              int height) {
  if (target.isNull() || width <= 0 || height <= 0) return;
  if (!isSurfaceFormat(target.format())) {
    qCWarning(lcPicture) << "copy into unsupported format" << target.format();
    return;
  }
  const Run xs = intersect({x, qint64(x) + width}, {0, target.width()});
  const Run ys = intersect({y, qint64(y) + height}, {0, target.height()});
  if (xs.empty() || ys.empty()) return;
  fillBlack(target, xs, ys);
  if (source.isNull()) return;

  // A target coordinate plus this offset is the source coordinate.
  const qint64 dx = qint64(sourceX) - x;
  const qint64 dy = qint64(sourceY) - y;
  const Run cx = intersect(xs, {-dx, source.width() - dx});
  const Run cy = intersect(ys, {-dy, source.height() - dy});
  if (cx.empty() || cy.empty()) return;

  QRect part(int(cx.begin + dx), int(cy.begin + dy), int(cx.length()), int(cy.length()));
  const QImage from = inTargetFormat(source, part, target);
  copyRows(from, part, target, QPoint(int(cx.begin), int(cy.begin)));
}

}  // namespace picture
