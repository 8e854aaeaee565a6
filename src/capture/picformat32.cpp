#include "capture/picformat32.h"

#include <QFile>
#include <QLoggingCategory>

#include "platform/imaging/convert.h"
#include "platform/imaging/quality.h"

namespace {

Q_LOGGING_CATEGORY(lcCodec, "tandeo.capture.codec", QtCriticalMsg)

using imaging::PictureFormat;

std::string localPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

PicFormat32::Result run(const QString& source, PictureFormat from, const QString& target,
                        PictureFormat to, const imaging::ConvertOptions& options) {
  auto done = imaging::convertFile(localPath(source), from, localPath(target), to, options);
  if (!done)
    qCDebug(lcCodec) << source << "->" << target << "failed:" << imaging::describe(done.error());
  return done;
}

}  // namespace

PicFormat32::Result PicFormat32::BmpToJpeg(const QString& source, const QString& target,
                                           std::int64_t quality) {
  imaging::ConvertOptions options;
  options.quality = imaging::clampQuality(quality);
  return run(source, PictureFormat::Bmp, target, PictureFormat::Jpeg, options);
}

PicFormat32::Result PicFormat32::BmpToJpeg(const QString& source, const QString& target,
                                           const QString& quality) {
  auto parsed = imaging::parseQuality(quality.toStdString());
  if (!parsed) return parsed.error();
  return BmpToJpeg(source, target, *parsed);
}

PicFormat32::Result PicFormat32::JpegToBmp(const QString& source, const QString& target) {
  return run(source, PictureFormat::Jpeg, target, PictureFormat::Bmp, {});
}

PicFormat32::Result PicFormat32::BmpToGif(const QString& source, const QString& target) {
  imaging::ConvertOptions options;
  options.dither = dither_;
  return run(source, PictureFormat::Bmp, target, PictureFormat::Gif, options);
}

PicFormat32::Result PicFormat32::GifToBmp(const QString& source, const QString& target) {
  return run(source, PictureFormat::Gif, target, PictureFormat::Bmp, {});
}
