#pragma once
// Where a key press starts. An application event filter can see one press
// several times: Qt offers a press that a widget ignores to the widget's
// parents, one after the other up to its window; and when any application
// filter is installed while the filters are being called (the workspace
// blocks its input while a photo is taken), Qt calls the filters after it
// again, with the same press at the same widget. A command bound to a key
// must run once per press, at the press's first stop, even when it lets
// pending events run meanwhile and the focus moves or goes (the next parent
// may then look like the place the key was meant for).
//
// The tracker follows each press on its way: where it is and the parent it
// can travel to next, so a later sight of it at either is not a new key. A
// press is known by its address, key and time stamp together. Qt builds
// successive presses at the same address (on the stack); a press from the
// window system carries its own time, so two never share all three. A
// synthesised press carries no time (QTest's): it is delivered whole before
// its release, which is stamped alike and ends its journey. A release stamped
// otherwise ends nothing: a command's nested event processing may deliver it
// before its press travels on.

#include <QPointer>
#include <QWidget>
#include <vector>

class QEvent;

namespace ui {

class KeyPressTracker {
 public:
  // Called with every event an application event filter sees. True for a key
  // press at the first widget it reaches; false for every other event, and
  // for a press seen again where it is or travelling on to a parent.
  bool firstStop(const QObject& receiver, const QEvent& event);

 private:
  struct Press {
    const QEvent* event = nullptr;
    int key = 0;
    quint64 timestamp = 0;
    bool operator==(const Press&) const = default;
  };
  struct Journey {
    Press press;
    QPointer<const QWidget> at;
    // The parent the press reaches if `at` ignores it; none past a window.
    QPointer<const QWidget> next;
  };

  // True when `press` at `widget` is a journey going on (moved one step if so).
  bool travelsOn(const Press& press, const QWidget& widget);
  void start(const Press& press, const QWidget& widget);
  void released(int key, quint64 timestamp);

  std::vector<Journey> journeys_;
};

}  // namespace ui
