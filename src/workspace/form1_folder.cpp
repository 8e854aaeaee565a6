// The target folder's history buttons. The folder and drive change rules join
// this file with the folder rules, and keep folderHistory and pathbox's list
// in step.

#include <QToolButton>

#include "workspace/form1.h"

void Form1::updateHistoryButtons() {
  const rules::HistoryButtons buttons = folderHistory.buttons();
  hrkt[0]->setEnabled(buttons.backEnabled);
  hrkt[1]->setEnabled(buttons.forwardEnabled);
  hrkt[0]->setToolTip(buttons.backToolTip);
  hrkt[1]->setToolTip(buttons.forwardToolTip);
}
