#pragma once
// The crop frame's arithmetic and the readings of the numbers typed into its
// boxes, without any widget. The user's number notation comes in as a QLocale
// (in Turkish: "." groups thousands, "," separates the fraction).

#include <QLocale>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

namespace workspace {

// Label5's Left, Top, Width and Height in pixels inside Picture2, kept in
// single precision as the boxes' rules set them.
struct FrameRect {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
  friend bool operator==(const FrameRect&, const FrameRect&) = default;
};

// The whole text is a number in the user's notation: blanks around it, an
// optional sign, digits whose thousands may be grouped, an optional decimal
// separator with or without a fraction after it. An empty text is not one.
bool countsAsNumber(const QString& text, const QLocale& locale);

// The value of a text that counts as a number; nothing otherwise.
std::optional<double> userNumber(const QString& text, const QLocale& locale);

// The number the settings store gets for a box: its text as a whole number,
// halves to the even neighbour. Nothing when the text is no number or does
// not fit in 32 bits, so a box the filter emptied stores nothing.
std::optional<std::int32_t> storedNumber(const QString& text, const QLocale& locale);

// A number as it is written into a box: the user's notation, no grouping,
// the fraction kept to `significantDigits` digits (7 for a single-precision
// frame value, 15 for a double).
QString numberText(double value, const QLocale& locale, int significantDigits = 15);

// What the numeric filter makes of a box's text. Nothing when the text is
// accepted as it is, or when rebuilding it would give the same text again
// (a lone decimal separator): rewriting it then would only re-run the filter.
struct FilteredText {
  QString text;
  int caret = 0;
};
std::optional<FilteredText> filterNumberText(const QString& text, int caret, const QLocale& locale);

// Direction codes of the move pad.
enum MoveDirection : std::int16_t {
  MoveUp = 0,
  MoveDown = 1,
  MoveLeft = 2,
  MoveRight = 3,
  MoveCentre = 4
};

// The frame after one move by `step` (or centred in a box of `box` outer
// size), before the bounds are applied; nothing for an unknown direction.
std::optional<FrameRect> movedFrame(const FrameRect& frame, int direction, double step, QSize box);

// The frame's far edge, 5 pixels of margin included, lies past `limit`.
bool passesFarEdge(float start, float size, int limit);

// Where a frame of `size` starts so that its far edge plus the margin meets
// `limit`. A frame too large for the box starts at 0: the near bound wins, so
// the clamping has one answer and ends.
float farEdgeStart(float size, int limit);

// How the frame is drawn: whole pixels, never a negative size (a width or
// height of 0 or below shows no frame).
QRect frameGeometry(const FrameRect& frame);

// A pointer position inside the frame as the drag rules keep it: the
// horizontal part with its fraction, the vertical part in whole pixels.
struct DragPoint {
  double x = 0;
  std::int32_t y = 0;
};
DragPoint dragPoint(double xPixels, double yPixels);

}  // namespace workspace
