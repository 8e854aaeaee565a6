#include "platform/picture/picturefile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/picture/bmpwriter.h"
#include "platform/picture/picturelog.h"

namespace picture {

namespace {

Error failure(Errc code, const QString& path, const QString& why) {
  qCDebug(lcPicture) << path << why;
  return Error{code, path + QStringLiteral(": ") + why};
}

bool isReadableFormat(const QByteArray& format) {
  return format == "bmp" || format == "jpeg" || format == "gif";
}

}  // namespace

namespace {

// Written beside the target and renamed over it, without waiting for the disk.
Result<void> replaceWithoutSync(const QByteArray& bytes, const QString& path) {
  QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
  if (!file.open()) return failure(Errc::WriteFailed, path, file.errorString());
  if (file.write(bytes) != bytes.size() || !file.flush())
    return failure(Errc::WriteFailed, path, file.errorString());
  if (std::rename(QFile::encodeName(file.fileName()).constData(),
                  QFile::encodeName(path).constData()) != 0) {
    return failure(Errc::WriteFailed, path, QString::fromLocal8Bit(std::strerror(errno)));
  }
  file.setAutoRemove(false);
  return {};
}

}  // namespace

Result<void> savePictureAsBmp(const Picture& picture, const QString& path, Durability durability) {
  if (!picture.hasBitmap()) return failure(Errc::NoPicture, path, QStringLiteral("no bitmap"));
  const QByteArray bytes = encodeBmp(picture.image());
  if (bytes.isEmpty())
    return failure(Errc::WriteFailed, path, QStringLiteral("too large for a BMP file"));
  if (durability == Durability::Scratch) return replaceWithoutSync(bytes, path);

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
  if (!QFileInfo(path).isFile())
    return failure(Errc::FileNotFound, path, QStringLiteral("no such file"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return failure(Errc::ReadFailed, path, file.errorString());

  QImageReader reader(&file);
  reader.setDecideFormatFromContent(true);
  if (!isReadableFormat(reader.format()))
    return failure(Errc::UnsupportedFormat, path, QStringLiteral("not BMP, JPEG or GIF"));
  QImage image = reader.read();
  if (image.isNull()) {
    const Errc code =
        reader.error() == QImageReader::DeviceError ? Errc::ReadFailed : Errc::InvalidData;
    return failure(code, path, reader.errorString());
  }
  return Picture(std::move(image));
}

}  // namespace picture
