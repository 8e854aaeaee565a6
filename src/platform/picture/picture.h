#pragma once
// A picture object: an in-memory bitmap that owns its pixels and, when it was
// read from a 256-colour file, its palette. A value: copies share the pixels
// until one of them is changed (QImage's implicit sharing).

#include <QImage>
#include <QList>
#include <QLoggingCategory>
#include <QSize>

// The picture layer's one logging category, silent unless enabled with
// QT_LOGGING_RULES="tandeo.picture.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPicture)

namespace picture {

class Picture {
 public:
  Picture() = default;  // holds no bitmap
  // Takes the pixels, brought to a storage format of surface.h.
  explicit Picture(QImage image);

  // "There is a photo": the picture holds a bitmap.
  bool hasBitmap() const { return !image_.isNull(); }
  bool isNull() const { return image_.isNull(); }
  int width() const { return image_.width(); }
  int height() const { return image_.height(); }
  QSize size() const { return image_.size(); }
  const QImage& image() const { return image_; }

  bool isIndexed() const { return image_.format() == QImage::Format_Indexed8; }
  // The colour table of an indexed picture; empty for a true-colour one.
  QList<QRgb> palette() const;

 private:
  QImage image_;
};

}  // namespace picture
