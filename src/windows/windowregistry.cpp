#include "windows/windowregistry.h"

#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace windows {
namespace {

Q_LOGGING_CATEGORY(lcWindows, "tandeo.windows", QtCriticalMsg)

}  // namespace

WindowRegistry::~WindowRegistry() {
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    if (*it && !(*it)->parentWidget()) delete it->data();
  }
}

QWidget& WindowRegistry::obtain(std::type_index type) {
  const auto it = entries_.find(type);
  if (it == entries_.end()) qFatal("window %s used but never defined", type.name());
  Entry& entry = it->second;
  if (entry.window) return *entry.window;
  if (entry.creating) qFatal("window %s reached from its own constructor", entry.name);
  entry.creating = true;
  QWidget* window = entry.create(*this);
  entry.creating = false;
  entry.window = window;
  created_.emplace_back(window);
  qCDebug(lcWindows) << "created" << entry.name;
  entry.load(*window);
  return *window;
}

void WindowRegistry::showWindow(QWidget& window) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window.parentWidget())) {
    window.show();
    sub->show();
    if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
    sub->raise();
    return;
  }
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace windows
