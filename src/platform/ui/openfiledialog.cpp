#include "platform/ui/openfiledialog.h"

#include <QApplication>
#include <QFileDialog>

namespace ui {

QString QtOpenFileDialog::showOpen(const OpenFileRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(), request.title);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(request.defaultExtension);
  const bool pattern =
      request.fileName.contains(QLatin1Char('*')) || request.fileName.contains(QLatin1Char('?'));
  if (pattern)
    dialog.setNameFilters({request.fileName, QStringLiteral("*")});
  else if (!request.fileName.isEmpty())
    dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return request.fileName;
  return dialog.selectedFiles().constFirst();
}

}  // namespace ui
