#include "platform/ui/picturebox.h"

#include <QPainter>

namespace ui {
namespace {

class PictureClient final : public QWidget {
 public:
  PictureClient(QWidget* parent, const QImage& picture) : QWidget(parent), picture_(picture) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
  }

 private:
  const QImage& picture_;
};

}  // namespace

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent), client_(new PictureClient(this, picture_)) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(kBorder);
  client_->setObjectName(QStringLiteral("client"));
  client_->setGeometry(contentsRect());
}

void PictureBox::setFixedBoxSize(int width, int height) {
  setFixedSize(width, height);
  client_->setGeometry(contentsRect());
}

void PictureBox::setPicture(const QImage& picture) {
  picture_ = picture;
  client_->update();
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  client_->setGeometry(contentsRect());
}

}  // namespace ui
