#include "platform/ui/dirlistbox.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLoggingCategory>

#include "platform/ui/drawnicons.h"

namespace ui {
namespace {

Q_LOGGING_CATEGORY(lcUi, "tandeo.ui", QtWarningMsg)

constexpr int kPathRole = Qt::UserRole;

QStringList ancestorsOf(const QString& path) {
  QStringList chain;
  for (QDir dir(path);;) {
    chain.prepend(dir.absolutePath());
    if (dir.isRoot() || !dir.cdUp()) break;
  }
  return chain;
}

QString displayName(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  return name.isEmpty() ? path : name;
}

}  // namespace

DirListBox::DirListBox(QWidget* parent) : QTreeWidget(parent), path_(QDir::currentPath()) {
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(10);
  setUniformRowHeights(true);
  connect(this, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { openItem(item); });
  showPath();
}

base::Expected<void, FolderError> DirListBox::setPath(const QString& path) {
  const QFileInfo info(QDir::current(), path);
  if (path.isEmpty() || !info.exists()) return FolderError::NotFound;
  if (!info.isDir()) return FolderError::NotAFolder;
  const QString clean = QDir::cleanPath(info.absoluteFilePath());
  if (clean == path_) return {};
  path_ = clean;
  showPath();
  emit changed();
  return {};
}

void DirListBox::refresh() {
  showPath();
}

void DirListBox::showPath() {
  const QIcon folderIcon = drawnIcon(QStringLiteral("folder"), kListIconSize);
  clear();
  QTreeWidgetItem* parentItem = nullptr;
  for (const QString& folder : ancestorsOf(path_)) {
    auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
    item->setText(0, displayName(folder));
    item->setData(0, kPathRole, folder);
    item->setIcon(0, folderIcon);
    item->setExpanded(true);
    parentItem = item;
  }
  setCurrentItem(parentItem);
  const QDir dir(path_);
  const auto subFolders =
      dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& sub : subFolders) {
    auto* item = new QTreeWidgetItem(parentItem);
    item->setText(0, sub.fileName());
    item->setData(0, kPathRole, sub.absoluteFilePath());
    item->setIcon(0, folderIcon);
  }
  if (parentItem) parentItem->setExpanded(true);
}

void DirListBox::openItem(QTreeWidgetItem* item) {
  if (!item) return;
  if (!setPath(item->data(0, kPathRole).toString())) {
    // The folder went away since the list was read.
    qCDebug(lcUi) << "folder vanished:" << item->data(0, kPathRole).toString();
    refresh();
  }
}

}  // namespace ui
