// The target folder's history buttons and the remembered folder. The folder
// and drive change rules join this file with the folder rules, and keep
// folderHistory and pathbox's list in step.

#include <QToolButton>

#include "settings/Module1.h"
#include "workspace/form1.h"

void Form1::storePath(const QString& folder) {
  if (!unrepresentedPath.isEmpty()) {
    // Written back, the stand-in would replace the bytes it stands for.
    if (folder.trimmed() == unrepresentedPath.trimmed()) {
      qCDebug(lcWorkspace) << "the stored folder is kept as it is stored:" << folder;
      return;
    }
    unrepresentedPath.clear();
  }
  settings().saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                             QStringLiteral("Path"), folder);
}

void Form1::updateHistoryButtons() {
  const rules::HistoryButtons buttons = folderHistory.buttons();
  hrkt[0]->setEnabled(buttons.backEnabled);
  hrkt[1]->setEnabled(buttons.forwardEnabled);
  hrkt[0]->setToolTip(buttons.backToolTip);
  hrkt[1]->setToolTip(buttons.forwardToolTip);
}
