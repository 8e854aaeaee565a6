#include "platform/picture/picturefile.h"

#include <QBuffer>
#include <QImageReader>
#include <QSaveFile>
#include <cstring>

#include "platform/imaging/bmp_reader.h"
#include "platform/picture/bmpwriter.h"
#include "platform/picture/picturelog.h"
#include "platform/picture/posixfile.h"
#include "platform/picture/scratchfile.h"

namespace picture {

namespace {

Error failure(Errc code, const QString& path, const QString& why) {
  qCDebug(lcPicture) << path << why;
  return Error{code, path + QStringLiteral(": ") + why};
}

// Far above any photo; a bigger file is refused before it is read in.
constexpr qint64 kLargestPictureFile = qint64(512) * 1024 * 1024;

// Recognised by content, whatever the name ends in.
const char* formatOf(const QByteArray& bytes) {
  if (bytes.startsWith("BM")) return "bmp";
  if (bytes.startsWith("\xFF\xD8\xFF")) return "jpeg";
  if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) return "gif";
  return nullptr;
}

// 8 bits or fewer per pixel: the picture keeps its palette, which the
// image reader gives and the codec's true-colour decoder does not. Both
// header forms keep the bit count right after the plane count.
bool hasColourTable(const QByteArray& bytes) {
  constexpr int kInfoSizeAt = 14;
  if (bytes.size() < kInfoSizeAt + 16) return false;
  const auto byte = [&](int at) { return static_cast<unsigned>(static_cast<quint8>(bytes[at])); };
  const bool coreHeader = byte(kInfoSizeAt) == 12 && byte(kInfoSizeAt + 1) == 0;
  const int bitCountAt = kInfoSizeAt + (coreHeader ? 10 : 14);
  const unsigned bitCount = byte(bitCountAt) | (byte(bitCountAt + 1) << 8);
  return bitCount <= 8;
}

// The codec's BMP decoder: the file the program itself writes (24-bit) at a
// fraction of the image reader's cost, and every other true-colour variant
// safely.
Result<Picture> decodeTrueColourBmp(const QByteArray& bytes, const QString& path) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
  auto decoded = imaging::decodeBmp({data, static_cast<std::size_t>(bytes.size())});
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
  if (durability == Durability::Scratch) return replaceScratchFile(bytes, path);

  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return failure(Errc::WriteFailed, path, file.errorString());
  if (file.write(bytes) != bytes.size()) {
    const Error error = failure(Errc::WriteFailed, path, file.errorString());
    file.cancelWriting();
    return error;
  }
  if (!file.commit()) return failure(Errc::WriteFailed, path, file.errorString());
  return {};
}

Result<Picture> loadPicture(const QString& path) {
  auto bytes = readWholeFile(path, kLargestPictureFile);
  if (!bytes) {
    qCDebug(lcPicture) << bytes.error().detail;
    return bytes.error();
  }
  const char* format = formatOf(*bytes);
  if (!format)
    return failure(Errc::UnsupportedFormat, path, QStringLiteral("not BMP, JPEG or GIF"));
  if (std::strcmp(format, "bmp") == 0 && !hasColourTable(*bytes))
    return decodeTrueColourBmp(*bytes, path);

  QBuffer buffer(&*bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  QImage image = reader.read();
  if (image.isNull()) return failure(Errc::InvalidData, path, reader.errorString());
  return Picture(std::move(image));
}

}  // namespace picture
