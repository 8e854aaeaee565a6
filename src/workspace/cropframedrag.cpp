#include "workspace/cropframedrag.h"

#include <QLoggingCategory>
#include <QMouseEvent>
#include <QWidget>

#include "workspace/cropframelabel.h"

namespace workspace {
namespace {

Q_LOGGING_CATEGORY(lcWorkspace, "tandeo.workspace", QtWarningMsg)

}  // namespace

CropFrameDrag::CropFrameDrag(QWidget* frame, QWidget* pictureBox, QWidget* pictureClient,
                             QWidget* window, Handlers handlers)
    : QObject(frame),
      frame_(frame),
      pictureBox_(pictureBox),
      pictureClient_(pictureClient),
      window_(window),
      handlers_(std::move(handlers)),
      outline_(new CropFrameLabel(window)) {
  outline_->setObjectName(QStringLiteral("Label5Outline"));
  outline_->setAttribute(Qt::WA_TransparentForMouseEvents);
  outline_->hide();
  frame_->installEventFilter(this);
}

CropFrameDrag::~CropFrameDrag() = default;

QWidget* CropFrameDrag::outline() const {
  return outline_;
}

bool CropFrameDrag::eventFilter(QObject* watched, QEvent* event) {
  if (watched != frame_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (!dragging()) press(mouse->position(), mouse->button());
      return true;
    }
    case QEvent::MouseMove:
      if (dragging()) move(static_cast<QMouseEvent*>(event)->position());
      return true;
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (dragging() && mouse->button() == button_) release(mouse->position());
      return true;
    }
    case QEvent::Hide:
      // A frame that disappears mid-drag (the window closing) drops nowhere.
      cancel();
      return false;
    default:
      return false;
  }
}

void CropFrameDrag::press(QPointF inFrame, Qt::MouseButton button) {
  button_ = button;
  grab_ = inFrame;
  outline_->resize(frame_->size());
  move(inFrame);
  outline_->show();
  outline_->raise();
  if (handlers_.pressed) handlers_.pressed(inFrame);
}

void CropFrameDrag::move(QPointF inFrame) {
  const QPointF corner = frame_->mapTo(window_, inFrame - grab_);
  outline_->move(corner.toPoint());
  if (isOverFrame(inFrame) && handlers_.overFrame) handlers_.overFrame(inFrame);
}

void CropFrameDrag::release(QPointF inFrame) {
  cancel();
  if (isOverFrame(inFrame)) {
    // The drop point is where the pointer was last seen over the frame.
    if (handlers_.overFrame) handlers_.overFrame(inFrame);
    if (handlers_.droppedOnFrame) handlers_.droppedOnFrame();
  } else if (isOverPictureBox(inFrame)) {
    if (handlers_.droppedOnPicture)
      handlers_.droppedOnPicture(frame_->mapTo(pictureClient_, inFrame));
  } else {
    qCDebug(lcWorkspace) << "crop frame dropped outside the photo; nothing moves";
  }
}

void CropFrameDrag::cancel() {
  button_ = Qt::NoButton;
  outline_->hide();
}

bool CropFrameDrag::isOverFrame(QPointF inFrame) const {
  // Only the part of the frame that shows inside the photo box can be pointed at.
  const QPointF inClient = frame_->mapTo(pictureClient_, inFrame);
  return QRectF(frame_->rect()).contains(inFrame) &&
         QRectF(pictureClient_->rect()).contains(inClient);
}

bool CropFrameDrag::isOverPictureBox(QPointF inFrame) const {
  return QRectF(pictureBox_->rect()).contains(frame_->mapTo(pictureBox_, inFrame));
}

}  // namespace workspace
