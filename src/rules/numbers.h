#pragma once
// The readings of the numbers typed into the workspace's boxes, without any
// widget. The notation comes in as a QLocale; the boxes always use the Turkish
// one ("." groups thousands, "," separates the fraction), whatever locale the
// desktop runs under: the program's whole interface is Turkish, and a frame
// width of "12,5" must not become 125 pixels on an English or C desktop.

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

namespace rules {

// The notation of the numbers in the crop-frame and step boxes: Turkish.
QLocale boxNotation();

// The number at the start of a text, read with "." as the decimal point and
// stopping at the first character that cannot continue it; 0 when the text
// does not start with a number. Blanks before the number are skipped. This is
// how a box's text moves the frame, whatever the notation.
double leadingNumber(const QString& text);

// The number at the start of a text typed into an input box, read as the
// refresh-rate question reads it: blanks, tabs and line feeds anywhere in the
// text are ignored ("2 50" is 250); a sign, digits, a "." decimal point
// whatever the locale and an exponent written with E or D are read up to the
// first other character; "&H" and "&O" in front read a hexadecimal or octal
// whole number. 0 when the text does not start with a number.
double leadingNumberIgnoringBlanks(const QString& text);

// The whole text is a number in the notation: blanks around it, an optional
// sign, digits whose thousands may be grouped, an optional decimal separator
// with or without a fraction after it. An empty text is not one.
bool countsAsNumber(const QString& text, const QLocale& notation);

// The value of a text that counts as a number; nothing otherwise.
std::optional<double> userNumber(const QString& text, const QLocale& notation);

// The number the settings store gets for a box: its text as a whole number,
// halves to the even neighbour. Nothing when the text is no number or does
// not fit in 32 bits, so a box the filter emptied stores nothing.
std::optional<std::int32_t> storedNumber(const QString& text, const QLocale& notation);

// A number as it is written into a box: the notation's separator, no grouping,
// the fraction kept to `significantDigits` digits (7 for a single-precision
// frame value, 15 for a double).
QString numberText(double value, const QLocale& notation, int significantDigits = 15);

// What the numeric filter makes of a box's text. Nothing when the text is
// accepted as it is, or when rebuilding it would give the same text again
// (a lone decimal separator): rewriting it then would only re-run the filter.
struct FilteredText {
  QString text;
  int caret = 0;
};
std::optional<FilteredText> filterNumberText(const QString& text, int caret,
                                             const QLocale& notation);

// A position or size in whole pixels, halves going to the even neighbour
// (2.5 gives 2, 3.5 gives 4), whatever the floating-point rounding mode;
// clamped to the range of int.
int roundHalfToEven(double value);

}  // namespace rules
