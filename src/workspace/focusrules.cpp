#include "workspace/focusrules.h"

#include <QFocusEvent>
#include <QWidget>

namespace workspace {

void FocusRules::onGotFocus(QWidget* box, Rule rule) {
  watch(box, true, std::move(rule));
}

void FocusRules::onLostFocus(QWidget* box, Rule rule) {
  watch(box, false, std::move(rule));
}

void FocusRules::watch(QWidget* box, bool gained, Rule rule) {
  box->installEventFilter(this);
  entries_.push_back({box, gained, std::move(rule)});
}

bool FocusRules::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
  const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
  const bool gained = event->type() == QEvent::FocusIn;
  for (const Entry& entry : entries_) {
    if (entry.box == watched && entry.gained == gained) entry.rule();
  }
  return false;
}

}  // namespace workspace
