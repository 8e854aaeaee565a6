#pragma once
// The folders visited during a run, behind the back and forward buttons of
// the target folder: full paths in the order they were reached, one of them
// current. Nothing is ever removed: a chosen folder goes right after the
// current entry (added at the end, or in place of the entry there when that
// one differs), so going back and then choosing another folder keeps the
// entries further on. Going back and forward only moves the current entry.
// Lives for the run; only the current folder is remembered between runs.

#include <QString>
#include <QStringList>

namespace rules {

// What the back and forward buttons show.
struct HistoryButtons {
  bool backEnabled = false;
  bool forwardEnabled = false;
  QString backToolTip;     // "Geri " and the folder back leads to
  QString forwardToolTip;  // "İleri " and the folder forward leads to
};

class FolderHistory {
 public:
  const QStringList& entries() const { return entries_; }
  // The current entry's index; -1 while the history is empty.
  int current() const { return current_; }
  // The current entry's folder; empty while the history is empty.
  QString currentFolder() const;

  // A folder was chosen: it becomes the entry after the current one and the
  // current entry. On an empty history it is the first entry.
  void add(const QString& folder);

  // The entry before (after) the current one becomes current. False, with
  // nothing changed, when there is none.
  bool back();
  bool forward();

  HistoryButtons buttons() const;

 private:
  QStringList entries_;
  int current_ = -1;
};

}  // namespace rules
