#pragma once
// The frame: a multiple-document window whose client area holds the program's
// child windows. At start-up it puts the preview window at the workspace's
// right edge, the photo browser under it and the workspace in front, and sizes
// itself to show all three. Its own menu bar (five commands) shows while a
// child without a menu bar of its own is active; the workspace brings its own.
// It owns the browser's pop-up. Closing it runs the children's unload handlers
// and its own. Keys belong to the active child: a key that reaches the frame
// itself (no control has the focus) is handed to that child, and the focus
// goes into it whenever the frame becomes active without it.

#include <QList>
#include <QMainWindow>
#include <QMargins>
#include <QRect>

#include "platform/ui/keypresstracker.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStyle;

namespace windows {

class WindowRegistry;

// How the frame shows a child: a window with the usual caption, or a tool
// window with a thin caption (the preview window and the photo browser).
enum class ChildCaption { Normal, Thin };

// Where the frame goes at start-up.
struct FramePlacement {
  // The frame's own geometry, without the window manager's decorations.
  QRect geometry;
  // The screen cannot show the children whole: the frame fills the work area
  // (maximised) and its scroll bars reach the rest.
  bool fillWorkArea = false;
};

// The frame's start-up place: a client area holding `children` (their
// bounding rectangle in client coordinates, and at least the design's client
// area) under a menu bar `menuHeight` high, centred in `available` when it
// fits there with the window manager's `decorations`; otherwise the work area.
FramePlacement startPlacement(const QRect& children, int menuHeight, const QMargins& decorations,
                              const QRect& available);

class frmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit frmMain(WindowRegistry& windows, QWidget* parent = nullptr);

  QMdiArea* mdiArea() const { return mdiArea_; }
  // Puts `child` into the client area as a hidden window that hides on close
  // instead of being deleted; a fixed-size child gets a fixed-size window.
  QMdiSubWindow* addChild(QWidget* child, ChildCaption caption = ChildCaption::Normal);

  void MDIForm_Load();
  void MDIForm_Unload();

  void mnuFoto_Click();
  void mnuOnizle_Click();
  void mnuOnPen_Click();
  void mnuDosya_Click();
  void mnuKapat_Click();
  void mnuRename_Click();
  void mnuSil_Click();

  // The five commands of the frame's own menu bar, in its order.
  QList<QAction*> menuBarActions() const;

  QAction* mnuFoto = nullptr;
  QAction* mnuOnizle = nullptr;
  QAction* mnuOnPen = nullptr;
  QAction* mnuDosya = nullptr;
  QAction* mnuKapat = nullptr;
  // Never on the menu bar: the photo browser shows it under the mouse.
  QMenu* mnuPopup = nullptr;
  QAction* mnuRename = nullptr;
  QAction* mnuSil = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createMenus();
  void showMenusOf(QMdiSubWindow* active);
  // "ExpWith" below the browser's least width is stored as that width.
  void raiseStoredBrowserWidth();
  // The browser's left edge on the workspace's right edge, its top on the
  // preview window's bottom edge (sub-window edges, converted through twips).
  void placeBrowser();
  void placeOnScreen();
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
  // The tool windows' title bars (QMdiSubWindow has no tool-window kind).
  QStyle* thinCaption_;
  ui::KeyPressTracker keyPresses_;
};

}  // namespace windows
