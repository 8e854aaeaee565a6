#pragma once
// What the frame asks of a child window that lives in its client area.

#include <QAction>
#include <QList>

namespace windows {

// Why a window is being closed, with the original platform's numbers.
enum class UnloadMode : int {
  FormControlMenu = 0,  // the user closed the window itself
  FormCode = 1,         // the program unloads it
  AppWindows = 2,
  AppTaskManager = 3,
  FormMDIForm = 4,  // the frame is closing
  FormOwner = 5,
};

class MdiChild {
 public:
  virtual ~MdiChild() = default;
  // The top-level commands the frame's menu bar shows while this child is
  // active; empty when the frame's own menus apply.
  virtual QList<QAction*> menuBarActions() const { return {}; }
  // The child became the active one.
  virtual void childActivated() {}
  // The frame is closing: first every child's query, then every child's unload.
  // A query answering false keeps the frame open.
  virtual bool queryUnload(UnloadMode) { return true; }
  virtual void unload() {}
};

}  // namespace windows
