#pragma once
// The frame: a multiple-document window whose client area holds the program's
// child windows. It shows the active child's own menu bar when the child has
// one, and closing it runs the children's unload handlers and its own. Keys
// belong to the active child: a key that reaches the frame itself (no control
// has the focus) is handed to that child, and the focus goes into it whenever
// the frame becomes active without it.

#include <QMainWindow>

#include "platform/ui/keypresstracker.h"

class QMdiArea;
class QMdiSubWindow;

namespace windows {

class WindowRegistry;

class frmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit frmMain(WindowRegistry& windows, QWidget* parent = nullptr);

  QMdiArea* mdiArea() const { return mdiArea_; }
  // Puts `child` into the client area as a hidden, fixed-size window that
  // hides on close instead of being deleted.
  QMdiSubWindow* addChild(QWidget* child);

  void MDIForm_Load();
  void MDIForm_Unload();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showMenusOf(QMdiSubWindow* active);
  void fitClientAreaTo(const QMdiSubWindow& child);
  // The child window keys and the focus belong to; nullptr when none is shown.
  QWidget* activeChild() const;
  void focusActiveChild();
  // The frame's own parts a key can land on: the frame, its client area and
  // the sub-windows' borders and title bars, not what is inside a child.
  bool isFramePart(const QObject& object) const;
  // Sends a copy of `key` to `child`; true when the child took it.
  static bool passKeyTo(QWidget& child, const QKeyEvent& key);

  WindowRegistry& windows_;
  QMdiArea* mdiArea_;
  ui::KeyPressTracker keyPresses_;
};

}  // namespace windows
