#pragma once
// The workspace's small rules about its save settings.

#include <QString>
#include <cstdint>

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

// The JPEG quality a slider position asks for: position × 10 + 10.
inline int jpegQuality(int sliderPosition) {
  return sliderPosition * 10 + 10;
}

// A saved photo's name: the target folder, "/", the trimmed prefix and
// number, joined as they are; the name check path adds "." and the type text.
QString photoBasePath(const QString& folder, const QString& prefix, const QString& number);

// Whether a prefix and number make the name of a file in the target folder.
// A "/" would reach into another folder, a name of "." or ".." would name a
// folder, and a NUL would cut the name short where the system reads it.
enum class PhotoName { Acceptable, ContainsSlash, NamesAFolder, ContainsNul };
PhotoName checkPhotoName(const QString& prefix, const QString& number);

// The running counter kept in txtResim's tag after one more save: its
// numeric value + 1, in decimal ("1" gives "2"; what is not a number counts as 0).
QString nextCounter(const QString& counter);
// The number text shown for a counter: padded with "0" to three characters,
// longer counters keep all their digits ("2" gives "002", "1000" stays "1000").
QString counterNumberText(const QString& counter);

// A name the new-folder rule may create inside the target folder: one
// folder name, not "." or "..", no "/" and no NUL.
bool isPlainFolderName(const QString& name);

}  // namespace rules
