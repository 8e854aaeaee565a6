#include "converter/conversion.h"

namespace converter {
namespace {

QString sourceTypeName(Operation operation) {
  switch (operation) {
    case Operation::GifToBmp:
      return QStringLiteral("GIF");
    case Operation::JpegToBmp:
      return QStringLiteral("JPEG");
    case Operation::BmpToGif:
    case Operation::BmpToJpeg:
      break;
  }
  return QStringLiteral("BMP");
}

QString quoted(const QString& path) {
  return QStringLiteral("\"%1\"").arg(path);
}

QString cause(const Conversion& conversion, imaging::ImageError error) {
  using imaging::ImageError;
  const QString source = quoted(conversion.source);
  switch (error) {
    case ImageError::SourceMissing:
      if (conversion.source.trimmed().isEmpty()) return QStringLiteral("Kaynak dosya seçilmedi.");
      return QStringLiteral("%1 dosyası bulunamadı.").arg(source);
    case ImageError::SourceUnreadable:
      return QStringLiteral("%1 dosyası okunamadı.").arg(source);
    case ImageError::NotThisType:
      return QStringLiteral("%1 bir %2 resmi değil.")
          .arg(source, sourceTypeName(conversion.operation));
    case ImageError::Damaged:
      return QStringLiteral("%1 dosyası bozuk.").arg(source);
    case ImageError::Unsupported:
      return QStringLiteral("%1 dosyasının %2 türü desteklenmiyor.")
          .arg(source, sourceTypeName(conversion.operation));
    case ImageError::TooLarge:
      return QStringLiteral("%1 resmi çok büyük (en fazla 100 megapiksel).").arg(source);
    case ImageError::TargetNotWritable:
      return QStringLiteral("%1 dosyasına yazılamadı.").arg(quoted(conversion.target));
    case ImageError::BadQualityText:
      return QStringLiteral("JPG kalitesi bir sayı olmalı: %1").arg(quoted(conversion.quality));
  }
  return {};
}

}  // namespace

PicFormat32::Result run(PicFormat32 codec, const Conversion& conversion) {
  switch (conversion.operation) {
    case Operation::GifToBmp:
      return codec.GifToBmp(conversion.source, conversion.target);
    case Operation::BmpToGif:
      return codec.BmpToGif(conversion.source, conversion.target);
    case Operation::JpegToBmp:
      return codec.JpegToBmp(conversion.source, conversion.target);
    case Operation::BmpToJpeg:
      break;
  }
  return codec.BmpToJpeg(conversion.source, conversion.target, conversion.quality);
}

QString failureMessage(const Conversion& conversion, imaging::ImageError error) {
  return QStringLiteral("Resim dönüştürülemedi.\n") + cause(conversion, error);
}

QString proposedTarget(const QString& fileName, const QString& extension) {
  return fileName.chopped(qMin<qsizetype>(3, fileName.size())) + extension;
}

}  // namespace converter
