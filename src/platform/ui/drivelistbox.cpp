#include "platform/ui/drivelistbox.h"

#include <QDir>
#include <QSignalBlocker>

#include "platform/ui/drawnicons.h"

namespace ui {

DriveListBox::DriveListBox(QWidget* parent, std::vector<Volume> volumes) : QComboBox(parent) {
  setVolumes(std::move(volumes));
  {
    const QSignalBlocker quiet(this);
    setCurrentIndex(volumeIndexFor(volumes_, QDir::currentPath()));
  }
  connect(this, &QComboBox::currentIndexChanged, this, [this] { emit changed(); });
}

QString DriveListBox::drive() const {
  const int index = currentIndex();
  return index >= 0 && index < static_cast<int>(volumes_.size()) ? volumes_[index].rootPath
                                                                 : QString();
}

base::Expected<void, DriveError> DriveListBox::setDrive(const QString& pathOrDrive) {
  const int index = volumeIndexFor(volumes_, pathOrDrive);
  if (index < 0) return DriveError::NoSuchDrive;
  setCurrentIndex(index);
  return {};
}

void DriveListBox::setVolumes(std::vector<Volume> volumes) {
  const QIcon icon = drawnIcon(QStringLiteral("drive"), kListIconSize);
  const QString current = drive();
  const QSignalBlocker quiet(this);
  clear();
  volumes_ = std::move(volumes);
  for (const Volume& volume : volumes_) {
    addItem(icon, volumeCaption(volume));
  }
  setCurrentIndex(current.isEmpty() ? -1 : volumeIndexFor(volumes_, current));
}

}  // namespace ui
