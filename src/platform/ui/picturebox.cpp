#include "platform/ui/picturebox.h"

#include <QPaintEvent>
#include <QPainter>

namespace ui {
namespace {

class PictureClient final : public QWidget {
 public:
  PictureClient(QWidget* parent, const QImage& picture) : QWidget(parent), picture_(picture) {
    // Painting every pixel itself spares a new picture the repaint of all the
    // windows behind the box (the workspace, its frame and title bar), which
    // would cost more than the picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    const QRegion uncovered = event->region() - QRect(QPoint(0, 0), picture_.size());
    for (const QRect& rect : uncovered) painter.fillRect(rect, palette().brush(backgroundRole()));
    if (!picture_.isNull()) painter.drawImage(0, 0, picture_);
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
