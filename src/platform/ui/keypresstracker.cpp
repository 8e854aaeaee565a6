#include "platform/ui/keypresstracker.h"

#include <QKeyEvent>
#include <algorithm>

namespace ui {
namespace {

// Journeys of presses stamped by the window system are never ended by their
// release (see the header); the oldest are dropped once this many are kept.
// Presses still travelling are nested in one another's commands, never this deep.
constexpr std::size_t kKeptJourneys = 16;

// Where Qt hands a press ignored at `widget` next: its parent, unless the
// widget is a window, where the journey ends.
const QWidget* nextStop(const QWidget& widget) {
  return widget.isWindow() ? nullptr : widget.parentWidget();
}

}  // namespace

bool KeyPressTracker::firstStop(const QObject& receiver, const QEvent& event) {
  if (event.type() == QEvent::KeyRelease) {
    const auto& key = static_cast<const QKeyEvent&>(event);
    released(key.key(), key.timestamp());
    return false;
  }
  // A press reaches the window system's window object before any widget; only
  // the widgets count.
  if (event.type() != QEvent::KeyPress || !receiver.isWidgetType()) return false;
  const auto& key = static_cast<const QKeyEvent&>(event);
  const Press press{&event, key.key(), key.timestamp()};
  const auto& widget = static_cast<const QWidget&>(receiver);
  if (travelsOn(press, widget)) return false;
  start(press, widget);
  return true;
}

bool KeyPressTracker::travelsOn(const Press& press, const QWidget& widget) {
  for (Journey& journey : journeys_) {
    if (journey.press != press) continue;
    if (journey.at == &widget) return true;
    if (journey.next == &widget) {
      journey.at = &widget;
      journey.next = nextStop(widget);
      return true;
    }
  }
  return false;
}

void KeyPressTracker::start(const Press& press, const QWidget& widget) {
  // Qt stops a journey whose widget is gone.
  std::erase_if(journeys_, [](const Journey& j) { return !j.at; });
  if (journeys_.size() >= kKeptJourneys) journeys_.erase(journeys_.begin());
  journeys_.push_back({press, &widget, nextStop(widget)});
}

void KeyPressTracker::released(int key, quint64 timestamp) {
  std::erase_if(journeys_, [&](const Journey& j) {
    return j.press.key == key && j.press.timestamp == timestamp;
  });
}

}  // namespace ui
