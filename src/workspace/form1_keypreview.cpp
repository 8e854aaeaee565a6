// Key preview: the workspace's key-down handler sees a key before the control
// that has the focus, so the function keys work whichever control that is.

#include <QKeyEvent>

#include "platform/ui/keycodes.h"
#include "workspace/form1.h"

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  // Every event goes past the tracker, so that it follows each press on its
  // way up through the parents of the control that had it first.
  if (keyPresses_.firstStop(*watched, *event) && takesKeyAt(*static_cast<QWidget*>(watched))) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    Form_KeyDown(ui::vbKeyCode(key->key()), ui::vbShiftState(key->modifiers()));
  }
  // The control still gets the key afterwards, as with the original key preview.
  return false;
}

bool Form1::takesKeyAt(const QWidget& receiver) const {
  // Only the press's first stop counts, wherever the focus is by the time
  // the press travels on to the parents (a command may move it or take it
  // away): the workspace itself, or one of its controls.
  return &receiver == this || isAncestorOf(&receiver);
}

void Form1::Form_KeyDown(std::int16_t keyCode, std::int16_t /*shift*/) {
  KeyDown(keyCode);
}
