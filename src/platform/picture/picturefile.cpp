#include "platform/picture/picturefile.h"

#include <QByteArray>
#include <QFile>
#include <QLoggingCategory>
#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/files/read_file.h"
#include "platform/files/replace.h"
#include "platform/imaging/bmp_writer.h"
#include "platform/imaging/convert.h"
#include "platform/imaging/limits.h"
#include "platform/picture/picture.h"

namespace picture {

namespace {

Q_LOGGING_CATEGORY(lcPictureFile, "tandeo.picture.file", QtCriticalMsg)

using Cause = std::variant<std::monostate, base::SystemError, imaging::ImageError>;
using Bytes = std::span<const std::uint8_t>;

QString describe(const Cause& cause) {
  if (const auto* system = std::get_if<base::SystemError>(&cause))
    return QString::fromLocal8Bit(system->message());
  if (const auto* image = std::get_if<imaging::ImageError>(&cause))
    return QString::fromLatin1(imaging::describe(*image));
  return {};
}

FileError failure(FileErrc code, const QString& path, Cause cause, const QString& why = {}) {
  FileError error{code, path + QStringLiteral(": ") + (why.isEmpty() ? describe(cause) : why),
                  std::move(cause)};
  qCDebug(lcPictureFile) << error.detail;
  return error;
}

FileError readFailure(const QString& path, const files::ReadError& error) {
  switch (error.failure) {
    case files::ReadFailure::Missing:
    case files::ReadFailure::NotAFile:
      return failure(FileErrc::FileNotFound, path, error.cause);
    case files::ReadFailure::TooLarge:
      return failure(FileErrc::InvalidData, path, error.cause);
    case files::ReadFailure::SystemCall:
      break;
  }
  return failure(FileErrc::ReadFailed, path, error.cause);
}

FileResult<QByteArray> readWholeFile(const QString& path) {
  auto file =
      files::RegularFile::open(QFile::encodeName(path).toStdString(), imaging::kMaxSourceBytes);
  if (!file) return readFailure(path, file.error());
  // Not cleared first: every byte is read over at once.
  QByteArray bytes(static_cast<qsizetype>(file->size()), Qt::Uninitialized);
  auto read = file->read({reinterpret_cast<std::uint8_t*>(bytes.data()), file->size()});
  if (!read) return readFailure(path, read.error());
  bytes.truncate(static_cast<qsizetype>(*read));
  return bytes;
}

bool startsWith(Bytes bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// Recognised by content, whatever the name ends in.
std::optional<imaging::PictureFormat> formatOf(Bytes bytes) {
  if (startsWith(bytes, "BM")) return imaging::PictureFormat::Bmp;
  if (startsWith(bytes, "\xFF\xD8\xFF")) return imaging::PictureFormat::Jpeg;
  if (startsWith(bytes, "GIF87a") || startsWith(bytes, "GIF89a"))
    return imaging::PictureFormat::Gif;
  return std::nullopt;
}

FileErrc decodeFailure(imaging::ImageError error) {
  return error == imaging::ImageError::Unsupported ? FileErrc::UnsupportedFormat
                                                   : FileErrc::InvalidData;
}

}  // namespace

namespace {

// The picture's rows in blue-green-red order, a BMP row's own, so a BMP is
// written by copying rows whole; held while the encoder reads them.
struct LentRows {
  QImage rows;
  imaging::PixelRows lent;
  std::uint32_t pixelsPerMetre = 0;
};

FileResult<LentRows> lendRows(const Picture& picture, const QString& path) {
  if (!picture.hasBitmap())
    return failure(FileErrc::NoPicture, path, {}, QStringLiteral("no bitmap"));
  const QImage& image = picture.image();
  if (auto fits = imaging::checkDimensions(image.width(), image.height()); !fits)
    return failure(FileErrc::WriteFailed, path, fits.error());
  LentRows out;
  out.rows = image.convertToFormat(QImage::Format_BGR888);
  if (out.rows.isNull()) return failure(FileErrc::WriteFailed, path, imaging::ImageError::TooLarge);
  out.lent = {out.rows.width(), out.rows.height(), imaging::ChannelOrder::Bgr, out.rows.constBits(),
              static_cast<std::ptrdiff_t>(out.rows.bytesPerLine())};
  out.pixelsPerMetre = static_cast<std::uint32_t>(std::max(0, image.dotsPerMeterX()));
  return out;
}

FileResult<void> replaceWith(const QString& path, Bytes bytes, Durability durability) {
  const std::string target = QFile::encodeName(path).toStdString();
  const auto written = durability == Durability::Scratch ? files::replaceScratch(target, bytes)
                                                         : files::replaceDurably(target, bytes);
  if (!written) return failure(FileErrc::WriteFailed, path, written.error());
  return {};
}

}  // namespace

FileResult<void> savePictureAsBmp(const Picture& picture, const QString& path,
                                  Durability durability) {
  const auto rows = lendRows(picture, path);
  if (!rows) return rows.error();
  const auto bytes = imaging::encodeBmp(rows->lent, rows->pixelsPerMetre);
  return replaceWith(path, bytes, durability);
}

FileResult<void> savePicture(const Picture& picture, const QString& path,
                             imaging::PictureFormat format,
                             const imaging::ConvertOptions& options) {
  const auto rows = lendRows(picture, path);
  if (!rows) return rows.error();
  const auto bytes = imaging::encodeRows(format, rows->lent, options, rows->pixelsPerMetre);
  if (!bytes) return failure(FileErrc::WriteFailed, path, bytes.error());
  return replaceWith(path, *bytes, Durability::Durable);
}

FileResult<Picture> loadPicture(const QString& path) {
  const auto read = readWholeFile(path);
  if (!read) return read.error();
  const Bytes bytes(reinterpret_cast<const std::uint8_t*>(read->constData()),
                    static_cast<std::size_t>(read->size()));
  const auto format = formatOf(bytes);
  if (!format)
    return failure(FileErrc::UnsupportedFormat, path, {}, QStringLiteral("not BMP, JPEG or GIF"));
  auto decoded = imaging::decodePicture(*format, bytes);
  if (!decoded) return failure(decodeFailure(decoded.error()), path, decoded.error());
  const QImage packed(decoded->pixels.data(), decoded->width, decoded->height,
                      static_cast<qsizetype>(decoded->rowBytes()), QImage::Format_RGB888);
  return Picture(packed.convertToFormat(QImage::Format_RGB32));
}

}  // namespace picture
