// Where the program's controls are, for the end-to-end scripts that click
// them: builds the program's windows exactly as main() does (same windows,
// same context from the environment, same platform and fonts), lets Qt lay
// them out, and prints one line per named control:
//
//   WINDOW/NAME X Y WIDTH HEIGHT
//
// WINDOW is the MDI child or top-level window the control belongs to (Form1,
// gozat, frmOnizle, frmConvert, ...); X and Y are relative to the top-left
// corner of the top-level window's client area, so a script adds the real
// window's client origin to them. Toolbar buttons are printed under their
// action's name ("Form1/gelismis"). The layout comes from the code itself, so
// a control moved in the code moves in the scripts too.
//
// Usage: layout_probe [frmConvert]   (also opens the converter and prints its controls)
// Run it with its own sandboxed profile: the windows' start-up rules read and
// write the settings store.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLibraryInfo>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextStream>
#include <QToolBar>
#include <QTranslator>

#include "converter/frmconvert.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/ui/qtprompter.h"
#include "windows/programcontext.h"
#include "windows/windowregistry.h"

namespace {

// The MDI child or the top-level window that holds `widget`.
const QWidget* ownerOf(const QWidget* widget) {
  const QWidget* owner = widget;
  while (owner->parentWidget() && !owner->isWindow() &&
         !qobject_cast<const QMdiSubWindow*>(owner->parentWidget())) {
    owner = owner->parentWidget();
  }
  return owner;
}

void printPlace(QTextStream& out, const QWidget& widget, const QString& name) {
  const QWidget* owner = ownerOf(&widget);
  const QPoint at = widget.mapTo(widget.window(), QPoint(0, 0));
  out << owner->objectName() << '/' << name << ' ' << at.x() << ' ' << at.y() << ' '
      << widget.width() << ' ' << widget.height() << '\n';
}

void printControls(QTextStream& out, const QWidget& window) {
  // A tab's controls are laid out when their page is shown: visit every page.
  for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
    const int shown = tabs->currentIndex();
    for (int page = 0; page < tabs->count(); ++page) {
      const QRect tab = tabs->tabBar()->tabRect(page);
      const QPoint at = tabs->tabBar()->mapTo(tabs->window(), tab.topLeft());
      out << ownerOf(tabs)->objectName() << '/' << tabs->objectName() << ".tab" << page << ' '
          << at.x() << ' ' << at.y() << ' ' << tab.width() << ' ' << tab.height() << '\n';
      tabs->setCurrentIndex(page);
      QCoreApplication::processEvents();
      for (const QWidget* widget : tabs->widget(page)->findChildren<QWidget*>()) {
        if (!widget->objectName().isEmpty()) printPlace(out, *widget, widget->objectName());
      }
    }
    tabs->setCurrentIndex(shown);
  }
  for (const QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->objectName().isEmpty()) printPlace(out, *widget, widget->objectName());
  }
  for (const QToolBar* bar : window.findChildren<QToolBar*>()) {
    for (QAction* action : bar->actions()) {
      if (QWidget* button = bar->widgetForAction(action); button && !action->objectName().isEmpty())
        printPlace(out, *button, action->objectName());
    }
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmora Tandeo"));
  QApplication::setOrganizationName(QStringLiteral("Velmora"));
  // The Turkish texts make the captions, and so the layout, the program's.
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_tr"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  ui::QtPrompter dialogs;
  windows::WindowRegistry windows(windows::programContextOfThisRun(dialogs));
  windows::defineProgramWindows(windows);
  auto& frame = windows.show<windows::frmMain>();
  if (!QTest::qWaitForWindowExposed(&frame)) return 1;

  QTextStream out(stdout);
  printControls(out, frame);
  if (app.arguments().contains(QStringLiteral("frmConvert"))) {
    auto& converter = windows.show<frmConvert>();
    if (!QTest::qWaitForWindowExposed(&converter)) return 1;
    printControls(out, converter);
    converter.close();
  }
  return 0;
}
