#pragma once
// An image control: shows one picture inside its container, placed and sized
// in twips as the design gives it. With its stretch flag off the control takes
// the picture's natural size; with it on it keeps its size and scales the
// picture to it. Drawing is lazy: a picture that is the same image as the one
// shown (a timer handing the same frame again) costs no repaint.

#include <QImage>
#include <QWidget>

namespace camera {

class ImageControl : public QWidget {
  Q_OBJECT
 public:
  explicit ImageControl(QWidget* parent = nullptr);

  void setPicture(const QImage& picture);
  const QImage& picture() const { return picture_; }

  bool stretch() const { return stretch_; }
  // Turning it off brings the control back to the picture's natural size.
  void setStretch(bool on);

  double leftTwips() const { return left_; }
  double topTwips() const { return top_; }
  double widthTwips() const { return width_; }
  double heightTwips() const { return height_; }
  void setLeftTwips(double left);
  void setTopTwips(double top);
  void setWidthTwips(double width);
  void setHeightTwips(double height);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void takeNaturalSize();
  void place();

  QImage picture_;
  bool stretch_ = false;
  double left_ = 0;
  double top_ = 0;
  double width_ = 0;
  double height_ = 0;
};

}  // namespace camera
