// The target folder's history buttons. The folder and drive change rules join
// this file with the folder rules.

#include <QToolButton>

#include "platform/ui/simplecombobox.h"
#include "workspace/form1.h"
#include "workspace/form1_rules.h"

void Form1::updateHistoryButtons() {
  QStringList entries;
  for (int i = 0; i < pathbox->count(); ++i) entries.append(pathbox->itemText(i));
  const auto buttons = workspace::historyButtons(entries, pathbox->currentIndex());
  hrkt[0]->setEnabled(buttons.backEnabled);
  hrkt[1]->setEnabled(buttons.forwardEnabled);
  hrkt[0]->setToolTip(buttons.backToolTip);
  hrkt[1]->setToolTip(buttons.forwardToolTip);
}
