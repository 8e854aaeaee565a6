#include "rules/folderhistory.h"

namespace rules {

QString FolderHistory::currentFolder() const {
  return current_ >= 0 ? entries_[current_] : QString();
}

void FolderHistory::add(const QString& folder) {
  const int next = current_ + 1;
  if (next == entries_.size()) {
    entries_.append(folder);
  } else if (entries_[next] != folder) {
    entries_[next] = folder;
  }
  current_ = next;
}

bool FolderHistory::back() {
  if (current_ <= 0) return false;
  --current_;
  return true;
}

bool FolderHistory::forward() {
  if (current_ + 1 >= entries_.size()) return false;
  ++current_;
  return true;
}

HistoryButtons FolderHistory::buttons() const {
  HistoryButtons buttons;
  buttons.backEnabled = current_ > 0;
  buttons.forwardEnabled = current_ + 1 < entries_.size();
  buttons.backToolTip = QStringLiteral("Geri ");
  buttons.forwardToolTip = QStringLiteral("İleri ");
  if (buttons.backEnabled) buttons.backToolTip += entries_[current_ - 1];
  if (buttons.forwardEnabled) buttons.forwardToolTip += entries_[current_ + 1];
  return buttons;
}

}  // namespace rules
