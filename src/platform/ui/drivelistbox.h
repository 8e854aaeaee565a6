#pragma once
// A drive list over the mounted volumes. Choosing a volume, by the user or by
// code, emits changed() before the setter returns, and only on a real change.

#include <QComboBox>
#include <vector>

#include "platform/base/expected.h"
#include "platform/ui/volumes.h"

namespace ui {

enum class DriveError { NoSuchDrive };

class DriveListBox : public QComboBox {
  Q_OBJECT
 public:
  // Shows `volumes` and selects the one holding the current directory.
  explicit DriveListBox(QWidget* parent = nullptr, std::vector<Volume> volumes = mountedVolumes());

  // The mount point of the selected volume.
  QString drive() const;
  // Selects the volume that holds `pathOrDrive`.
  base::Expected<void, DriveError> setDrive(const QString& pathOrDrive);
  // Shows another set of volumes (the selection follows the current drive when it is still there).
  void setVolumes(std::vector<Volume> volumes);
  const std::vector<Volume>& volumes() const { return volumes_; }

 signals:
  void changed();

 private:
  std::vector<Volume> volumes_;
};

}  // namespace ui
