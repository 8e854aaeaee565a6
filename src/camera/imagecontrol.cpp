#include "camera/imagecontrol.h"

#include <QPainter>

#include "platform/ui/twips.h"

namespace camera {

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void ImageControl::setPicture(const QImage& picture) {
  const bool samePicture = picture.cacheKey() == picture_.cacheKey();
  picture_ = picture;
  if (!stretch_) takeNaturalSize();
  if (!samePicture) update();
}

void ImageControl::setStretch(bool on) {
  if (stretch_ == on) return;
  stretch_ = on;
  if (!stretch_) takeNaturalSize();
  update();
}

void ImageControl::takeNaturalSize() {
  // An empty control keeps its size, as one whose picture was taken away.
  if (picture_.isNull()) return;
  width_ = ui::pixelsToTwipsX(picture_.width());
  height_ = ui::pixelsToTwipsY(picture_.height());
  place();
}

void ImageControl::setLeftTwips(double left) {
  left_ = left;
  place();
}

void ImageControl::setTopTwips(double top) {
  top_ = top;
  place();
}

void ImageControl::setWidthTwips(double width) {
  width_ = width;
  place();
}

void ImageControl::setHeightTwips(double height) {
  height_ = height;
  place();
}

void ImageControl::place() {
  const QRect wanted(ui::twipsToPixelsX(left_), ui::twipsToPixelsY(top_),
                     ui::twipsToPixelsX(width_), ui::twipsToPixelsY(height_));
  if (wanted != geometry()) setGeometry(wanted);
}

void ImageControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect all = rect();
  if (picture_.isNull()) {
    painter.fillRect(all, palette().window());
    return;
  }
  if (!stretch_ || picture_.size() == all.size()) {
    // At its natural size the control is exactly as large as the picture.
    painter.drawImage(0, 0, picture_);
    return;
  }
  // Scaled without smoothing, as a stretched image control always was: a
  // bilinear pass over every new 640 x 480 frame cost three times as much as
  // the rest of the window's work at 30 frames per second.
  painter.drawImage(all, picture_);
}

}  // namespace camera
