#pragma once
// Dragging the crop frame by hand: a press on the frame starts the drag, an
// outline of the frame follows the pointer while the frame itself stays put,
// and letting go drops it on the frame, on the photo box, or nowhere. Which
// rule each of these runs is the workspace's business; this class only tells
// where the pointer is, as the frame's mouse grab reports it.

#include <QObject>
#include <QPointF>
#include <functional>

class QWidget;

namespace workspace {

class CropFrameLabel;

class CropFrameDrag : public QObject {
  Q_OBJECT
 public:
  struct Handlers {
    std::function<void(QPointF inFrame)> pressed;
    std::function<void(QPointF inFrame)> overFrame;
    std::function<void()> droppedOnFrame;
    std::function<void(QPointF inPicture)> droppedOnPicture;
  };

  // `frame` lies on `pictureClient`, the inner area of `pictureBox`; the
  // outline is drawn on `window`.
  CropFrameDrag(QWidget* frame, QWidget* pictureBox, QWidget* pictureClient, QWidget* window,
                Handlers handlers);
  ~CropFrameDrag() override;
  CropFrameDrag(const CropFrameDrag&) = delete;
  CropFrameDrag& operator=(const CropFrameDrag&) = delete;

  bool dragging() const { return button_ != Qt::NoButton; }
  // The outline that follows the pointer, for the window's own use and for tests.
  QWidget* outline() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void press(QPointF inFrame, Qt::MouseButton button);
  void move(QPointF inFrame);
  void release(QPointF inFrame);
  void cancel();
  bool isOverFrame(QPointF inFrame) const;
  bool isOverPictureBox(QPointF inFrame) const;

  QWidget* frame_;
  QWidget* pictureBox_;
  QWidget* pictureClient_;
  QWidget* window_;
  Handlers handlers_;
  CropFrameLabel* outline_;
  Qt::MouseButton button_ = Qt::NoButton;
  QPointF grab_;
};

}  // namespace workspace
