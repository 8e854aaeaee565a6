#pragma once
// The workspace's small rules that need no window.

#include <QString>
#include <QStringList>

namespace workspace {

// The number at the start of a text, read with "." as the decimal point and
// stopping at the first character that cannot continue it; 0 when the text
// does not start with a number. Blanks before the number are skipped.
double leadingNumber(const QString& text);

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

// The back and forward buttons of the folder history, for the history
// `entries` with entry `current` current.
struct HistoryButtons {
  bool backEnabled = false;
  bool forwardEnabled = false;
  QString backToolTip;
  QString forwardToolTip;
};
HistoryButtons historyButtons(const QStringList& entries, int current);

// A position or size in whole pixels, halves going to the even neighbour
// (2.5 gives 2, 3.5 gives 4), whatever the floating-point rounding mode;
// clamped to the range of int.
int roundHalfToEven(double value);

}  // namespace workspace
