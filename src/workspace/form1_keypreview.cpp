// Key preview: the workspace's key-down handler sees a key before the control
// that has the focus, so the function keys work whichever control that is.

#include <QKeyEvent>

#include "platform/ui/keycodes.h"
#include "workspace/form1.h"

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    const auto* receiver = static_cast<const QWidget*>(watched);
    if (receivesKeyFirst(receiver)) {
      const auto* key = static_cast<const QKeyEvent*>(event);
      Form_KeyDown(ui::vbKeyCode(key->key()), ui::vbShiftState(key->modifiers()));
    }
  }
  // The control still gets the key afterwards, as with the original key preview.
  return false;
}

bool Form1::receivesKeyFirst(const QWidget* receiver) const {
  // A key the control ignores travels on to its parents; only its first stop counts.
  if (receiver != this && !isAncestorOf(receiver)) return false;
  const QWidget* focus = receiver->window()->focusWidget();
  return focus && isAncestorOf(focus) ? receiver == focus : receiver == this;
}

void Form1::Form_KeyDown(std::int16_t keyCode, std::int16_t /*shift*/) {
  KeyDown(keyCode);
}
