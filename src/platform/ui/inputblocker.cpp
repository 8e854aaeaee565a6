#include "platform/ui/inputblocker.h"

#include <QCoreApplication>
#include <QEvent>

namespace ui {

bool isUserInput(const QEvent& event) {
  switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

InputBlocker::InputBlocker(QWidget& window) : window_(&window) {
  // Installed last, so it sees events before every filter installed earlier
  // (the key preview among them).
  QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
  if (!window_ || !isUserInput(*event) || !watched->isWidgetType()) return false;
  const auto* target = static_cast<QWidget*>(watched);
  return target == window_ || window_->isAncestorOf(target);
}

}  // namespace ui
