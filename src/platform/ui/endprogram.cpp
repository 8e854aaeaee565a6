#include "platform/ui/endprogram.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QThread>
#include <QWidget>

namespace ui {
namespace {

Q_LOGGING_CATEGORY(lcUi, "tandeo.ui", QtWarningMsg)

}  // namespace

void endProgram() {
  qCDebug(lcUi) << "ending the program";
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
