#pragma once
// The program's own clipboard for camera frames. The desktop clipboard is
// never touched, so whatever the user copied elsewhere survives.
// User-interface thread only.

#include <QImage>

namespace video {

class PrivateClipboard {
 public:
  void setImage(QImage image) { image_ = std::move(image); }
  QImage image() const { return image_; }
  bool hasImage() const { return !image_.isNull(); }
  void clear() { image_ = QImage(); }

 private:
  QImage image_;
};

PrivateClipboard& privateClipboard();

}  // namespace video
