#pragma once
// The crop frame as it is seen: a see-through label whose single-line border
// alternates dark and light dashes, so it stands out on light and dark photos
// alike. The same look serves the outline that follows the pointer while the
// frame is dragged.

#include <QLabel>

namespace workspace {

class CropFrameLabel : public QLabel {
  Q_OBJECT
 public:
  explicit CropFrameLabel(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace workspace
