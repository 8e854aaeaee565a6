#pragma once
// The frame: a multiple-document window whose client area holds the program's
// child windows. It shows the active child's own menu bar when the child has
// one, and closing it runs the children's unload handlers and its own.

#include <QMainWindow>

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

 private:
  void showMenusOf(QMdiSubWindow* active);
  void fitClientAreaTo(const QMdiSubWindow& child);

  WindowRegistry& windows_;
  QMdiArea* mdiArea_;
};

}  // namespace windows
