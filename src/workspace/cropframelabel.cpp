#include "workspace/cropframelabel.h"

#include <QPainter>

namespace workspace {

CropFrameLabel::CropFrameLabel(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  setAutoFillBackground(false);
}

void CropFrameLabel::paintEvent(QPaintEvent*) {
  if (width() <= 0 || height() <= 0) return;
  QPainter painter(this);
  const QRectF line = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(QPen(Qt::white, 1));
  painter.drawRect(line);
  QPen dashes(Qt::black, 1, Qt::CustomDashLine);
  dashes.setDashPattern({3, 3});
  painter.setPen(dashes);
  painter.drawRect(line);
}

}  // namespace workspace
