#include "platform/picture/picturefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "platform/imaging/bmp_header.h"
#include "platform/imaging/bmp_reader.h"
#include "platform/imaging/source_file.h"
#include "platform/imaging/target_file.h"
#include "platform/picture/bmpwriter.h"
#include "platform/picture/picture.h"

namespace picture {

namespace {

Error failure(Errc code, const QString& path, const QString& why) {
  qCDebug(lcPicture) << path << why;
  return Error{code, path + QStringLiteral(": ") + why};
}

using Bytes = std::span<const std::uint8_t>;

bool startsWith(Bytes bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// Recognised by content, whatever the name ends in.
const char* formatOf(Bytes bytes) {
  if (startsWith(bytes, "BM")) return "bmp";
  if (startsWith(bytes, "\xFF\xD8\xFF")) return "jpeg";
  if (startsWith(bytes, "GIF87a") || startsWith(bytes, "GIF89a")) return "gif";
  return nullptr;
}

// 8 bits or fewer per pixel: the picture keeps its palette, which the
// image reader gives and the codec's true-colour decoder does not. A header
// the codec cannot read is left to its decoder to report.
bool hasColourTable(Bytes bytes) {
  const auto layout = imaging::parseBmpHeader(bytes);
  return layout && layout->bitCount <= 8;
}

// The codec's BMP decoder: the file the program itself writes (24-bit) at a
// fraction of the image reader's cost, and every other true-colour variant
// safely.
Result<Picture> decodeTrueColourBmp(Bytes bytes, const QString& path) {
  auto decoded = imaging::decodeBmp(bytes);
  if (!decoded) {
    const Errc code = decoded.error() == imaging::ImageError::Unsupported ? Errc::UnsupportedFormat
                                                                          : Errc::InvalidData;
    return failure(code, path, QString::fromLatin1(imaging::describe(decoded.error())));
  }
  const QImage packed(decoded->pixels.data(), decoded->width, decoded->height,
                      static_cast<qsizetype>(decoded->rowBytes()), QImage::Format_RGB888);
  return Picture(packed.convertToFormat(QImage::Format_RGB32));
}

}  // namespace

Result<void> savePictureAsBmp(const Picture& picture, const QString& path, Durability durability) {
  if (!picture.hasBitmap()) return failure(Errc::NoPicture, path, QStringLiteral("no bitmap"));
  const QByteArray bytes = encodeBmp(picture.image());
  if (bytes.isEmpty())
    return failure(Errc::WriteFailed, path, QStringLiteral("too large for a BMP file"));
  const std::string target = QFile::encodeName(path).toStdString();
  const Bytes data(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                   static_cast<std::size_t>(bytes.size()));
  const auto written = durability == Durability::Scratch ? imaging::replaceScratchFile(target, data)
                                                         : imaging::replaceFile(target, data);
  if (!written)
    return failure(Errc::WriteFailed, path,
                   QString::fromLatin1(imaging::describe(written.error())));
  return {};
}

Result<Picture> loadPicture(const QString& path) {
  if (!QFileInfo(path).isFile())
    return failure(Errc::FileNotFound, path, QStringLiteral("no such file"));
  const auto read = imaging::readSourceFile(QFile::encodeName(path).toStdString());
  if (!read) {
    const Errc code = read.error() == imaging::ImageError::SourceMissing ? Errc::FileNotFound
                      : read.error() == imaging::ImageError::TooLarge    ? Errc::InvalidData
                                                                         : Errc::ReadFailed;
    return failure(code, path, QString::fromLatin1(imaging::describe(read.error())));
  }
  const Bytes bytes(read->data(), read->size());
  const char* format = formatOf(bytes);
  if (!format)
    return failure(Errc::UnsupportedFormat, path, QStringLiteral("not BMP, JPEG or GIF"));
  if (std::strcmp(format, "bmp") == 0 && !hasColourTable(bytes))
    return decodeTrueColourBmp(bytes, path);

  QByteArray view = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&view);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  QImage image = reader.read();
  if (image.isNull()) return failure(Errc::InvalidData, path, reader.errorString());
  return Picture(std::move(image));
}

}  // namespace picture
