#pragma once
// A window that "takes no input" for a while, as a disabled parent window does
// on the original platform: mouse, keyboard and wheel events meant for the
// window or any control inside it are swallowed, but nothing is redrawn
// greyed out. Greying a whole window costs a full repaint, which a step that
// lasts a few milliseconds (taking a photo) would pay twice for nothing.

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace ui {

class InputBlocker : public QObject {
 public:
  // Blocks input to `window` until the blocker is destroyed.
  explicit InputBlocker(QWidget& window);
  ~InputBlocker() override;
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> window_;
};

// True for the events a user produces with mouse, keyboard, wheel or touch.
bool isUserInput(const QEvent& event);

}  // namespace ui
