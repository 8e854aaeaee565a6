#include "platform/picture/bmpwriter.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace picture {

namespace {

constexpr qint64 kFileHeaderBytes = 14;
constexpr qint64 kInfoHeaderBytes = 40;

void put16(QByteArray& out, std::uint16_t value) {
  out.append(char(value & 0xff));
  out.append(char(value >> 8));
}

void put32(QByteArray& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.append(char((value >> shift) & 0xff));
}

qint64 strideFor(int width, int bitsPerPixel) {
  return (qint64(width) * bitsPerPixel + 31) / 32 * 4;
}

void putPalette(QByteArray& out, const QList<QRgb>& colours) {
  for (const QRgb c : colours) {
    out.append(char(qBlue(c)));
    out.append(char(qGreen(c)));
    out.append(char(qRed(c)));
    out.append('\0');
  }
}

// Rows bottom-up, each padded with zeros to a multiple of four bytes.
void putRows(QByteArray& out, const QImage& rows, int bytesPerPixel, qint64 stride) {
  const qint64 used = qint64(rows.width()) * bytesPerPixel;
  const QByteArray padding(int(stride - used), '\0');
  for (int y = rows.height() - 1; y >= 0; --y) {
    out.append(reinterpret_cast<const char*>(rows.constScanLine(y)), used);
    out.append(padding);
  }
}

}  // namespace

QByteArray encodeBmp(const QImage& image) {
  if (image.isNull()) return {};
  const bool indexed = image.format() == QImage::Format_Indexed8;
  // BGR888 holds exactly the blue, green, red byte order of a 24-bit BMP row.
  const QImage rows = indexed ? image : image.convertToFormat(QImage::Format_BGR888);
  if (rows.isNull()) return {};
  const int bitsPerPixel = indexed ? 8 : 24;
  const QList<QRgb> colours = indexed ? image.colorTable().mid(0, 256) : QList<QRgb>();
  const qint64 stride = strideFor(rows.width(), bitsPerPixel);
  const qint64 pixelBytes = stride * rows.height();
  const qint64 offset = kFileHeaderBytes + kInfoHeaderBytes + qint64(colours.size()) * 4;
  const qint64 fileBytes = offset + pixelBytes;
  if (fileBytes > std::numeric_limits<std::int32_t>::max()) return {};

  QByteArray out;
  out.reserve(fileBytes);
  out.append("BM", 2);
  put32(out, std::uint32_t(fileBytes));
  put32(out, 0);  // two reserved 16-bit fields
  put32(out, std::uint32_t(offset));

  put32(out, std::uint32_t(kInfoHeaderBytes));
  put32(out, std::uint32_t(rows.width()));
  put32(out, std::uint32_t(rows.height()));  // positive: rows stored bottom-up
  put16(out, 1);                             // planes
  put16(out, std::uint16_t(bitsPerPixel));
  put32(out, 0);  // BI_RGB, uncompressed
  put32(out, std::uint32_t(pixelBytes));
  put32(out, std::uint32_t(std::max(0, image.dotsPerMeterX())));
  put32(out, std::uint32_t(std::max(0, image.dotsPerMeterY())));
  put32(out, std::uint32_t(colours.size()));  // colours used
  put32(out, 0);                              // all colours important

  putPalette(out, colours);
  putRows(out, rows, bitsPerPixel / 8, stride);
  return out;
}

}  // namespace picture
