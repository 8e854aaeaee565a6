#include "rules/numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rules {
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

// Digits with the notation's thousands separator between groups of three.
int takeWholePart(Reader& in, const QLocale& notation) {
  int digits = in.takeDigits();
  const QString group = notation.groupSeparator();
  while (digits > 0 && in.next(group)) {
    Reader probe = in;
    probe.at += group.size();
    if (probe.takeDigits(3) != 3 || (!probe.atEnd() && isDigit(probe.text()[probe.at]))) break;
    in = probe;
    digits += 3;
  }
  return digits;
}

qsizetype skipDigits(const QString& text, qsizetype i) {
  while (i < text.size() && isDigit(text[i])) ++i;
  return i;
}

bool isExponentMark(QChar c, bool dMarksExponent) {
  const QChar upper = c.toUpper();
  return upper == QLatin1Char('E') || (dMarksExponent && upper == QLatin1Char('D'));
}

// A sign, digits, a "." fraction and an exponent from `start` on, up to the
// first character that cannot continue them; 0 when there is no digit.
double leadingDecimal(const QString& text, qsizetype start, bool dMarksExponent) {
  qsizetype i = start;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
  const qsizetype intDigits = skipDigits(text, i);
  qsizetype end = intDigits;
  bool anyDigit = intDigits > i;
  if (end < text.size() && text[end] == QLatin1Char('.')) {
    const qsizetype fraction = skipDigits(text, end + 1);
    anyDigit = anyDigit || fraction > end + 1;
    end = fraction;
  }
  if (!anyDigit) return 0.0;
  QString number = text.mid(start, end - start);
  if (end < text.size() && isExponentMark(text[end], dMarksExponent)) {
    qsizetype e = end + 1;
    if (e < text.size() && (text[e] == QLatin1Char('+') || text[e] == QLatin1Char('-'))) ++e;
    const qsizetype exponent = skipDigits(text, e);
    // toDouble knows only E.
    if (exponent > e) number += QLatin1Char('e') + text.mid(end + 1, exponent - end - 1);
  }
  bool ok = false;
  const double value = number.toDouble(&ok);
  return ok ? value : 0.0;
}

// The digits of `base` after a two-character prefix such as "&H", as an
// unsigned whole number; 0 when none follows.
double leadingWhole(const QString& text, int base) {
  double value = 0;
  for (qsizetype i = 2; i < text.size(); ++i) {
    const char c = text[i].toLower().toLatin1();
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : base;
    if (digit >= base) break;
    value = value * base + digit;
  }
  return value;
}

}  // namespace

QLocale boxNotation() {
  return QLocale(QLocale::Turkish, QLocale::Turkey);
}

double leadingNumber(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
  return leadingDecimal(text, i, false);
}

double leadingNumberIgnoringBlanks(const QString& text) {
  QString packed;
  packed.reserve(text.size());
  for (const QChar c : text) {
    if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n')) packed += c;
  }
  if (packed.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) return leadingWhole(packed, 16);
  if (packed.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) return leadingWhole(packed, 8);
  return leadingDecimal(packed, 0, true);
}

std::optional<double> userNumber(const QString& text, const QLocale& notation) {
  Reader in{&text, 0, {}};
  in.skipBlanks();
  if (in.next(notation.negativeSign())) {
    in.plain += QLatin1Char('-');
    in.at += notation.negativeSign().size();
  } else if (in.next(notation.positiveSign())) {
    in.at += notation.positiveSign().size();
  }
  int digits = takeWholePart(in, notation);
  if (in.next(notation.decimalPoint())) {
    in.at += notation.decimalPoint().size();
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

bool countsAsNumber(const QString& text, const QLocale& notation) {
  return userNumber(text, notation).has_value();
}

std::optional<std::int32_t> storedNumber(const QString& text, const QLocale& notation) {
  const std::optional<double> value = userNumber(text.trimmed(), notation);
  if (!value) return std::nullopt;
  // Halves round away from the range's ends only inside it: -2147483648.5 and
  // 2147483647.5 would round outside, so they are refused with everything beyond.
  constexpr double kLow = std::numeric_limits<std::int32_t>::min() - 0.5;
  constexpr double kHigh = std::numeric_limits<std::int32_t>::max() + 0.5;
  if (!(*value > kLow && *value < kHigh)) return std::nullopt;
  return roundHalfToEven(*value);
}

QString numberText(double value, const QLocale& notation, int significantDigits) {
  QLocale written(notation);
  written.setNumberOptions(QLocale::OmitGroupSeparator);
  if (value == 0) value = 0;  // no "-0"
  QString text = written.toString(value, 'g', significantDigits);
  // An exponent would not survive the box's filter: large values are written
  // out in full, tiny fractions as the fixed digits they have.
  if (!text.contains(written.exponential(), Qt::CaseInsensitive)) return text;
  return written.toString(value, 'f', std::abs(value) >= 1 ? 0 : significantDigits);
}

std::optional<FilteredText> filterNumberText(const QString& text, int caret,
                                             const QLocale& notation) {
  if (countsAsNumber(text, notation) && !text.endsWith(notation.groupSeparator())) {
    return std::nullopt;
  }
  // Only the digits and the first decimal separator of the text within its
  // blanks survive; blanks before the number do not cost digits at its end.
  const QString decimal = notation.decimalPoint();
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

int roundHalfToEven(double value) {
  constexpr double kLow = std::numeric_limits<int>::min();
  constexpr double kHigh = std::numeric_limits<int>::max();
  if (std::isnan(value)) return 0;
  if (value <= kLow) return std::numeric_limits<int>::min();
  if (value >= kHigh) return std::numeric_limits<int>::max();
  const double floor = std::floor(value);
  const double fraction = value - floor;
  double whole = fraction < 0.5 ? floor : floor + 1.0;
  if (fraction == 0.5 && std::fmod(floor, 2.0) == 0.0) whole = floor;
  return static_cast<int>(whole);
}

}  // namespace rules
