#include "platform/ui/shell.h"

#include <QDesktopServices>
#include <QProcess>

namespace ui {

void openWebPage(const QUrl& page) {
  QDesktopServices::openUrl(page);
}

bool startProgram(const QString& program) {
  return QProcess::startDetached(program, {});
}

}  // namespace ui
