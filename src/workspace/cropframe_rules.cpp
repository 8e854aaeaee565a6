#include "workspace/cropframe_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "workspace/form1_rules.h"

namespace workspace {
namespace {

bool isDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A cursor over the text being parsed; `plain` collects the number in C notation.
struct Reader {
  const QString* source;
  const QString& text() const { return *source; }
  qsizetype at = 0;
  QString plain;

  bool atEnd() const { return at >= text().size(); }
  bool next(const QString& symbol) const {
    return !symbol.isEmpty() && text().mid(at, symbol.size()) == symbol;
  }
  void skipBlanks() {
    while (!atEnd() && text()[at] == QLatin1Char(' ')) ++at;
  }
  int takeDigits(int most = std::numeric_limits<int>::max()) {
    int count = 0;
    while (!atEnd() && count < most && isDigit(text()[at])) {
      plain += text()[at++];
      ++count;
    }
    return count;
  }
};

// Digits with the locale's thousands separator between groups of three.
int takeWholePart(Reader& in, const QLocale& locale) {
  int digits = in.takeDigits();
  const QString group = locale.groupSeparator();
  while (digits > 0 && in.next(group)) {
    Reader probe = in;
    probe.at += group.size();
    if (probe.takeDigits(3) != 3 || (!probe.atEnd() && isDigit(probe.text()[probe.at]))) break;
    in = probe;
    digits += 3;
  }
  return digits;
}

}  // namespace

std::optional<double> userNumber(const QString& text, const QLocale& locale) {
  Reader in{&text, 0, {}};
  in.skipBlanks();
  if (in.next(locale.negativeSign())) {
    in.plain += QLatin1Char('-');
    in.at += locale.negativeSign().size();
  } else if (in.next(locale.positiveSign())) {
    in.at += locale.positiveSign().size();
  }
  int digits = takeWholePart(in, locale);
  if (in.next(locale.decimalPoint())) {
    in.at += locale.decimalPoint().size();
    in.plain += QLatin1Char('.');
    digits += in.takeDigits();
  }
  in.skipBlanks();
  if (digits == 0 || !in.atEnd()) return std::nullopt;
  bool ok = false;
  const double value = QLocale::c().toDouble(in.plain, &ok);
  if (!ok) return std::nullopt;
  return value;
}

bool countsAsNumber(const QString& text, const QLocale& locale) {
  return userNumber(text, locale).has_value();
}

std::optional<std::int32_t> storedNumber(const QString& text, const QLocale& locale) {
  const std::optional<double> value = userNumber(text.trimmed(), locale);
  if (!value) return std::nullopt;
  // Halves round away from the range's ends only inside it: -2147483648.5 and
  // 2147483647.5 would round outside, so they are refused with everything beyond.
  constexpr double kLow = std::numeric_limits<std::int32_t>::min() - 0.5;
  constexpr double kHigh = std::numeric_limits<std::int32_t>::max() + 0.5;
  if (!(*value > kLow && *value < kHigh)) return std::nullopt;
  return roundHalfToEven(*value);
}

QString numberText(double value, const QLocale& locale, int significantDigits) {
  QLocale notation(locale);
  notation.setNumberOptions(QLocale::OmitGroupSeparator);
  if (value == 0) value = 0;  // no "-0"
  QString text = notation.toString(value, 'g', significantDigits);
  // An exponent would not survive the box's filter: large values are written
  // out in full, tiny fractions as the fixed digits they have.
  if (!text.contains(notation.exponential(), Qt::CaseInsensitive)) return text;
  return notation.toString(value, 'f', std::abs(value) >= 1 ? 0 : significantDigits);
}

std::optional<FilteredText> filterNumberText(const QString& text, int caret,
                                             const QLocale& locale) {
  if (countsAsNumber(text, locale) && !text.endsWith(locale.groupSeparator())) {
    return std::nullopt;
  }
  // Only the digits and the first decimal separator of the text within its
  // blanks survive; blanks before the number do not cost digits at its end.
  const QString decimal = locale.decimalPoint();
  const QString core = text.trimmed();
  FilteredText rebuilt;
  bool decimalSeen = false;
  for (qsizetype i = 0; i < core.size(); ++i) {
    if (isDigit(core[i])) {
      rebuilt.text += core[i];
    } else if (!decimalSeen && core.mid(i, decimal.size()) == decimal) {
      rebuilt.text += decimal;
      decimalSeen = true;
      i += decimal.size() - 1;
    }
  }
  if (rebuilt.text == text) return std::nullopt;
  rebuilt.caret = std::max(0, caret - 1);
  return rebuilt;
}

std::optional<FrameRect> movedFrame(const FrameRect& frame, int direction, double step, QSize box) {
  FrameRect moved = frame;
  switch (direction) {
    case MoveUp:
      moved.top = static_cast<float>(frame.top - step);
      break;
    case MoveDown:
      moved.top = static_cast<float>(frame.top + step);
      break;
    case MoveLeft:
      moved.left = static_cast<float>(frame.left - step);
      break;
    case MoveRight:
      moved.left = static_cast<float>(frame.left + step);
      break;
    case MoveCentre: {
      // Integer division: truncates toward zero, also for a frame wider than the box.
      const int spareWidth = roundHalfToEven(box.width() - double(frame.width));
      const int spareHeight = roundHalfToEven(box.height() - double(frame.height));
      moved.left = static_cast<float>(spareWidth / 2);  // NOLINT(bugprone-integer-division)
      moved.top = static_cast<float>(spareHeight / 2);  // NOLINT(bugprone-integer-division)
      break;
    }
    default:
      return std::nullopt;
  }
  return moved;
}

bool passesFarEdge(float start, float size, int limit) {
  const float farEdge = size + start + 5.0f;
  return farEdge > static_cast<float>(limit);
}

float farEdgeStart(float size, int limit) {
  const float start = static_cast<float>(limit) - size - 5.0f;
  return start > 0 ? start : 0.0f;
}

QRect frameGeometry(const FrameRect& frame) {
  // The frame keeps whatever was typed, but the label that draws it must fit
  // a QRect (whose right edge is left + width - 1 in an int): far beyond any
  // screen the drawing is cut, never the arithmetic overflowed.
  static constexpr int kDrawLimit = 1 << 24;
  const auto coordinate = [](float v) {
    return std::clamp(roundHalfToEven(v), -kDrawLimit, kDrawLimit);
  };
  const auto extent = [](float v) { return std::clamp(roundHalfToEven(v), 0, kDrawLimit); };
  return QRect(coordinate(frame.left), coordinate(frame.top), extent(frame.width),
               extent(frame.height));
}

DragPoint dragPoint(double xPixels, double yPixels) {
  return {xPixels, roundHalfToEven(yPixels)};
}

}  // namespace workspace
