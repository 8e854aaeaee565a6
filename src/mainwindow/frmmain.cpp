#include "mainwindow/frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>
#include <memory>

#include "platform/ui/twips.h"
#include "windows/mdichild.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace windows {
namespace {

// Client area of the frame at design, in twips.
constexpr double kClientWidthTwips = 11145;
constexpr double kClientHeightTwips = 9840;

MdiChild* childOf(QMdiSubWindow* sub) {
  return sub ? dynamic_cast<MdiChild*>(sub->widget()) : nullptr;
}

}  // namespace

frmMain::frmMain(WindowRegistry& windows, QWidget* parent)
    : QMainWindow(parent), windows_(windows), mdiArea_(new QMdiArea(this)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Velmora Tandeo( Pratik Fotoğraf Aracı)"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/velmora-tandeo.svg")));
  mdiArea_->setObjectName(QStringLiteral("mdiArea"));
  mdiArea_->setFrameShape(QFrame::NoFrame);
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea_);
  menuBar()->setObjectName(QStringLiteral("menuBar"));
  resize(ui::twipsToPixelsX(kClientWidthTwips),
         ui::twipsToPixelsY(kClientHeightTwips) + menuBar()->sizeHint().height());
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    // A null activation only means the frame itself lost the focus: keep the menus.
    if (!sub) return;
    showMenusOf(sub);
    if (MdiChild* child = childOf(sub)) child->childActivated();
  });
  // Sees every key before its receiver, to tell keys landing on the frame itself.
  qApp->installEventFilter(this);
}

QMdiSubWindow* frmMain::addChild(QWidget* child) {
  QMdiSubWindow* sub =
      mdiArea_->addSubWindow(child, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  sub->setAttribute(Qt::WA_DeleteOnClose, false);
  sub->setOption(QMdiSubWindow::RubberBandResize, false);
  sub->setObjectName(child->objectName() + QStringLiteral("Window"));
  sub->setWindowTitle(child->windowTitle());
  sub->setWindowIcon(windowIcon());
  // The sub-window's own size hint leaves room for a title text the workspace
  // does not have; a fixed-size child gets exactly its size plus the borders.
  const QMargins borders = sub->contentsMargins();
  const QSize outer = child->size().grownBy(borders);
  if (child->minimumSize() == child->maximumSize()) {
    sub->setFixedSize(outer);
  } else {
    sub->resize(outer);
  }
  sub->hide();
  return sub;
}

void frmMain::MDIForm_Load() {
  // The preview window, the photo browser and the frame's own menus join here
  // when those windows exist; the workspace comes last and in front.
  Form1& workspace = windows_.show<Form1>();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(workspace.parentWidget())) {
    fitClientAreaTo(*sub);
    sub->raise();
  }
}

void frmMain::MDIForm_Unload() {
  if (auto* workspace = windows_.find<Form1>()) workspace->webCam().closeCaptureWindow();
}

void frmMain::closeEvent(QCloseEvent* event) {
  const auto subs = mdiArea_->subWindowList();
  for (QMdiSubWindow* sub : subs) {
    MdiChild* child = childOf(sub);
    if (child && !sub->isHidden() && !child->queryUnload(UnloadMode::FormMDIForm)) {
      event->ignore();
      return;
    }
  }
  for (QMdiSubWindow* sub : subs) {
    MdiChild* child = childOf(sub);
    if (child && !sub->isHidden()) child->unload();
  }
  MDIForm_Unload();
  event->accept();
}

void frmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Activated (at start-up, or back from a message box) with the focus
  // nowhere in the active child: keys would reach only the frame.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) focusActiveChild();
}

void frmMain::focusActiveChild() {
  QWidget* child = activeChild();
  const QWidget* focus = QApplication::focusWidget();
  if (!child || focus == child || child->isAncestorOf(focus)) return;
  // The control that had the focus in the child when it last had it, or the
  // child window itself.
  QWidget* last = child->focusWidget();
  QWidget* target = last && last->isVisible() ? last : child;
  target->setFocus(Qt::ActiveWindowFocusReason);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  // Every event goes past the tracker, so that a key the active child's
  // controls ignore, travelling up through the frame, is not taken again.
  if (!keyPresses_.firstStop(*watched, *event) || !isFramePart(*watched)) return false;
  QWidget* child = activeChild();
  if (!child) return false;
  return passKeyTo(*child, static_cast<const QKeyEvent&>(*event));
}

QWidget* frmMain::activeChild() const {
  // The current sub-window is the active one while the frame is active, and
  // the one to become active otherwise.
  const QMdiSubWindow* sub = mdiArea_->currentSubWindow();
  if (!sub || sub->isHidden() || !sub->widget() || sub->widget()->isHidden()) return nullptr;
  return sub->widget();
}

bool frmMain::isFramePart(const QObject& object) const {
  if (&object == this || &object == mdiArea_ || &object == mdiArea_->viewport()) return true;
  const auto* sub = qobject_cast<const QMdiSubWindow*>(&object);
  return sub && sub->mdiArea() == mdiArea_;
}

bool frmMain::passKeyTo(QWidget& child, const QKeyEvent& key) {
  // A press of its own, not this one: the child's key preview takes a press
  // at its first stop only, and this one's first stop was the frame.
  const std::unique_ptr<QKeyEvent> copy(key.clone());
  QCoreApplication::sendEvent(&child, copy.get());
  return copy->isAccepted();
}

void frmMain::showMenusOf(QMdiSubWindow* active) {
  MdiChild* child = childOf(active);
  const QList<QAction*> own = child ? child->menuBarActions() : QList<QAction*>{};
  QMenuBar* bar = menuBar();
  // std::equal rather than QList's ==, which in Qt 6.4 hands memcmp a null
  // pointer for two empty lists (undefined, and flagged by UBSan).
  const QList<QAction*> shown = bar->actions();
  if (std::equal(shown.begin(), shown.end(), own.begin(), own.end())) return;
  bar->clear();
  bar->addActions(own);
}

void frmMain::fitClientAreaTo(const QMdiSubWindow& child) {
  // The workspace is larger than the frame's design client area: grow so it fits whole.
  const QRect needed = child.geometry();
  const int width = std::max(ui::twipsToPixelsX(kClientWidthTwips), needed.right() + 1);
  const int height = std::max(ui::twipsToPixelsY(kClientHeightTwips), needed.bottom() + 1);
  resize(width, height + menuBar()->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), frameGeometry().size().expandedTo(size()));
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

}  // namespace windows
