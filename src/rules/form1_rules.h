#pragma once
// The workspace's small rules about its save settings.

#include <QString>

#include "rules/numbers.h"

namespace rules {

// Start-up replaces a stored frame width or height that is not above 0.
inline bool needsDefaultSize(const QString& boxText) {
  return !(leadingNumber(boxText) > 0);
}

// "Resim Kalitesi(7)" for slider position 7.
QString qualityCaption(int position);

// The quality controls apply to JPEG only (file type index 0).
inline bool qualityControlsVisible(int fileTypeIndex) {
  return fileTypeIndex == 0;
}

// A name the new-folder rule may create inside the target folder: one
// folder name, not "." or "..", no "/" and no NUL.
bool isPlainFolderName(const QString& name);

}  // namespace rules
