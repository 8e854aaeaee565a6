#include "platform/ui/endprogram.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include "platform/ui/uilog.h"

namespace ui {
namespace {

ProgramEnder& installedEnder() {
  static ProgramEnder ender;
  return ender;
}

}  // namespace

ProgramEnder setProgramEnder(ProgramEnder ender) {
  ProgramEnder previous = std::move(installedEnder());
  installedEnder() = std::move(ender);
  return previous;
}

void endProgram() {
  qCDebug(lcUi) << "ending the program";
  if (const ProgramEnder& ender = installedEnder()) {
    ender();
    return;
  }
  hideAllWindowsAndLeaveEventLoop();
}

void hideAllWindowsAndLeaveEventLoop() {
  for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
  if (QThread::currentThread()->loopLevel() > 0) {
    // exit() leaves every nested loop too (a modal dialog's as well).
    QCoreApplication::exit(0);
    return;
  }
  // Called before the main loop runs (during start-up): end it as soon as it starts.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

}  // namespace ui
