#pragma once
// A picture box: a sunken 2-pixel border around a client area. Children that
// belong inside (a capture window, a crop frame) are placed on client(), whose
// pixel coordinates start at the inner top-left corner as the design measures
// them. A picture is shown unscaled at that corner.

#include <QFrame>
#include <QImage>

namespace ui {

class PictureBox : public QFrame {
  Q_OBJECT
 public:
  static constexpr int kBorder = 2;

  explicit PictureBox(QWidget* parent = nullptr);

  QWidget* client() const { return client_; }
  // Fixes the outer size; the client follows at once, even before the box is shown.
  void setFixedBoxSize(int width, int height);
  void setPicture(const QImage& picture);
  const QImage& picture() const { return picture_; }
  bool hasPicture() const { return !picture_.isNull(); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* client_;
  QImage picture_;
};

}  // namespace ui
