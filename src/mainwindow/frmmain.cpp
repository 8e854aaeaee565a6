#include "mainwindow/frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QScreen>
#include <algorithm>
#include <memory>

#include "browser/frmonizle.h"
#include "browser/gozat.h"
#include "platform/ui/drawnicons.h"
#include "platform/ui/twips.h"
#include "settings/Module1.h"
#include "windows/mdichild.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace windows {
namespace {

// Client area of the frame at design, in twips.
constexpr double kClientWidthTwips = 11145;
constexpr double kClientHeightTwips = 9840;
// The photo browser's least width; a smaller stored width is raised to it.
constexpr std::int32_t kLeastBrowserWidthTwips = 3000;
// A thin caption: its text against the usual one, and how many pixels lower
// its title bar is (any lower and the close button loses its cross).
constexpr double kThinCaptionScale = 0.85;
constexpr int kThinCaptionLess = 2;

MdiChild* childOf(QMdiSubWindow* sub) {
  return sub ? dynamic_cast<MdiChild*>(sub->widget()) : nullptr;
}

QMdiSubWindow* frameWindowOf(const QWidget& window) {
  return qobject_cast<QMdiSubWindow*>(window.parentWidget());
}

// A tool window's caption: a title bar lower than a window's, with a smaller
// text. The sub-window's style and font reach only its own frame: the child
// keeps the application's style and its own text size.
class ThinCaptionStyle final : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    const int value = QProxyStyle::pixelMetric(metric, option, widget);
    return metric == PM_TitleBarHeight ? value - kThinCaptionLess : value;
  }
};

void giveThinCaption(QMdiSubWindow& sub, QWidget& child, QStyle& style) {
  QFont own = child.font();
  own.setPointSizeF(own.pointSizeF());
  child.setFont(own);
  QFont caption = sub.font();
  caption.setPointSizeF(caption.pointSizeF() * kThinCaptionScale);
  sub.setFont(caption);
  sub.setStyle(&style);
}

}  // namespace

FramePlacement startPlacement(const QRect& children, int menuHeight, const QMargins& decorations,
                              const QRect& available) {
  const int width = std::max(ui::twipsToPixelsX(kClientWidthTwips), children.right() + 1);
  const int height = std::max(ui::twipsToPixelsY(kClientHeightTwips), children.bottom() + 1);
  const QSize frame(width, height + menuHeight);
  const QSize outer = frame.grownBy(decorations);
  if (outer.width() > available.width() || outer.height() > available.height()) {
    return {available.marginsRemoved(decorations), true};
  }
  QRect placed(QPoint(0, 0), outer);
  placed.moveCenter(available.center());
  return {placed.marginsRemoved(decorations), false};
}

frmMain::frmMain(WindowRegistry& windows, QWidget* parent)
    : QMainWindow(parent),
      windows_(windows),
      mdiArea_(new QMdiArea(this)),
      // After the client area: deleted after the sub-windows that use it.
      thinCaption_(new ThinCaptionStyle) {
  thinCaption_->setParent(this);
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Velmora Tandeo( Pratik Fotoğraf Aracı)"));
  setWindowIcon(ui::programIcon());
  mdiArea_->setObjectName(QStringLiteral("mdiArea"));
  mdiArea_->setFrameShape(QFrame::NoFrame);
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea_);
  menuBar()->setObjectName(QStringLiteral("menuBar"));
  createMenus();
  menuBar()->addActions(menuBarActions());
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

void frmMain::createMenus() {
  const auto command = [this](const char* name, const QString& caption, void (frmMain::*click)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, click);
    return action;
  };
  mnuFoto = command("mnuFoto", QStringLiteral("Fotoğraf Çek"), &frmMain::mnuFoto_Click);
  mnuOnizle = command("mnuOnizle", QStringLiteral("Önizleme"), &frmMain::mnuOnizle_Click);
  mnuOnPen = command("mnuOnPen", QStringLiteral("Önizleme Penceresi"), &frmMain::mnuOnPen_Click);
  mnuDosya = command("mnuDosya", QStringLiteral("Dosya Penceresi"), &frmMain::mnuDosya_Click);
  mnuKapat = command("mnuKapat", QStringLiteral("Programı Kapat"), &frmMain::mnuKapat_Click);

  mnuPopup = new QMenu(QStringLiteral("mnuPopup"), this);
  mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
  mnuRename = command("mnuRename", QStringLiteral("Yeniden Adlandır"), &frmMain::mnuRename_Click);
  mnuSil = command("mnuSil", QStringLiteral("Resmi Sil"), &frmMain::mnuSil_Click);
  mnuPopup->addActions({mnuRename, mnuSil});
}

QList<QAction*> frmMain::menuBarActions() const {
  return {mnuFoto, mnuOnizle, mnuOnPen, mnuDosya, mnuKapat};
}

void frmMain::mnuFoto_Click() {
  windows_.get<Form1>().menu(0);
}

void frmMain::mnuOnizle_Click() {
  windows_.get<Form1>().menu(1);
}

void frmMain::mnuOnPen_Click() {
  windows_.show<frmOnizle>();
}

void frmMain::mnuDosya_Click() {
  windows_.show<gozat>();
}

void frmMain::mnuKapat_Click() {
  if (auto* workspace = windows_.find<Form1>()) workspace->webCam().closeCaptureWindow();
  windows_.context().endProgram();
}

void frmMain::mnuRename_Click() {
  windows_.get<gozat>().mnuRename();
}

void frmMain::mnuSil_Click() {
  windows_.get<gozat>().mnuSil();
}

QMdiSubWindow* frmMain::addChild(QWidget* child, ChildCaption caption) {
  QMdiSubWindow* sub =
      mdiArea_->addSubWindow(child, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  sub->setAttribute(Qt::WA_DeleteOnClose, false);
  sub->setOption(QMdiSubWindow::RubberBandResize, false);
  sub->setObjectName(child->objectName() + QStringLiteral("Window"));
  sub->setWindowTitle(child->windowTitle());
  sub->setWindowIcon(windowIcon());
  if (caption == ChildCaption::Thin) giveThinCaption(*sub, *child, *thinCaption_);
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
  raiseStoredBrowserWidth();
  // The preview window's load puts it at the workspace's right edge, which
  // creates (and loads) the workspace first.
  windows_.show<frmOnizle>();
  placeBrowser();
  windows_.show<gozat>();
  Form1& workspace = windows_.show<Form1>();
  if (QMdiSubWindow* sub = frameWindowOf(workspace)) sub->raise();
  placeOnScreen();
}

void frmMain::raiseStoredBrowserWidth() {
  const Module1& settings = windows_.context().settings;
  const QString name = QStringLiteral("ExpWith");
  if (settings.getDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), name) <
      kLeastBrowserWidthTwips) {
    settings.saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), name,
                            kLeastBrowserWidthTwips);
  }
}

void frmMain::placeBrowser() {
  // The browser's own load has placed it already; the frame sets its edges again.
  QMdiSubWindow* browser = frameWindowOf(windows_.get<gozat>());
  const QMdiSubWindow* workspace = frameWindowOf(windows_.get<Form1>());
  const QMdiSubWindow* preview = frameWindowOf(windows_.get<frmOnizle>());
  if (!browser || !workspace || !preview) return;
  const double left = ui::pixelsToTwipsX(workspace->x()) + ui::pixelsToTwipsX(workspace->width());
  const double top = ui::pixelsToTwipsY(preview->y()) + ui::pixelsToTwipsY(preview->height());
  browser->move(ui::twipsToPixelsX(left), ui::twipsToPixelsY(top));
}

void frmMain::placeOnScreen() {
  QRect children;
  for (const QMdiSubWindow* sub : mdiArea_->subWindowList()) {
    if (!sub->isHidden()) children |= sub->geometry();
  }
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  // Known only once the window manager has framed the window.
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  const QMargins decorations(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
  const FramePlacement placement = startPlacement(children, menuBar()->sizeHint().height(),
                                                  decorations, screen->availableGeometry());
  setGeometry(placement.geometry);
  if (placement.fillWorkArea) setWindowState(windowState() | Qt::WindowMaximized);
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
  QList<QAction*> own = child ? child->menuBarActions() : QList<QAction*>{};
  if (own.isEmpty()) own = menuBarActions();
  QMenuBar* bar = menuBar();
  // std::equal rather than QList's ==, which in Qt 6.4 hands memcmp a null
  // pointer for two empty lists (undefined, and flagged by UBSan).
  const QList<QAction*> shown = bar->actions();
  if (std::equal(shown.begin(), shown.end(), own.begin(), own.end())) return;
  bar->clear();
  bar->addActions(own);
}

}  // namespace windows
