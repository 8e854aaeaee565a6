#pragma once
// The picture file codec component the workspace and the converter place on
// their windows: four file-to-file conversions, synchronous, the source file
// closed when a call returns, an existing target replaced without a question
// (the callers ask first where they need to).
//
// Each call reports what stopped it as a typed cause; the calling window
// decides the Turkish message. A failed call leaves the target as it was.

#include <QString>
#include <cstdint>

#include "platform/imaging/image_error.h"

class PicFormat32 {
 public:
  using Result = imaging::Result<void>;

  // Quality as a whole number is clamped to 1..100 (the workspace passes up
  // to 130); as text (the converter's quality box) it must be a number.
  Result BmpToJpeg(const QString& source, const QString& target, std::int64_t quality);
  Result BmpToJpeg(const QString& source, const QString& target, const QString& quality);
  Result JpegToBmp(const QString& source, const QString& target);
  Result BmpToGif(const QString& source, const QString& target);
  Result GifToBmp(const QString& source, const QString& target);

  // Error diffusion of GIF output; on unless a caller turns it off.
  void setDithering(bool on) { dither_ = on; }
  bool dithering() const { return dither_; }

 private:
  bool dither_ = true;
};
