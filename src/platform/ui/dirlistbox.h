#pragma once
// A folder list: the current folder with its parents above it and its
// sub-folders below, as a small tree. Double-click or Enter on a folder makes it
// the current one. Every real change of the path emits changed(), whether the
// user or code made it, before setPath() returns; what follows from a change is
// the owning window's business.

#include <QTreeWidget>

#include "platform/base/expected.h"

namespace ui {

enum class FolderError { NotFound, NotAFolder };

class DirListBox : public QTreeWidget {
  Q_OBJECT
 public:
  // Starts at the process's current directory.
  explicit DirListBox(QWidget* parent = nullptr);

  // Absolute, clean, without a trailing "/" (except the root itself).
  QString path() const { return path_; }
  // A relative path is taken from the current directory. On failure nothing changes.
  base::Expected<void, FolderError> setPath(const QString& path);
  // Reads the sub-folders of the current path again.
  void refresh();

 signals:
  void changed();

 private:
  void showPath();
  void openItem(QTreeWidgetItem* item);

  QString path_;
};

}  // namespace ui
