#include "workspace/form1_rules.h"

#include <cmath>
#include <limits>

namespace workspace {
namespace {

bool isDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype skipDigits(const QString& text, qsizetype i) {
  while (i < text.size() && isDigit(text[i])) ++i;
  return i;
}

}  // namespace

double leadingNumber(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
  const qsizetype start = i;
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
  if (end < text.size() && (text[end] == QLatin1Char('e') || text[end] == QLatin1Char('E'))) {
    qsizetype e = end + 1;
    if (e < text.size() && (text[e] == QLatin1Char('+') || text[e] == QLatin1Char('-'))) ++e;
    const qsizetype exponent = skipDigits(text, e);
    if (exponent > e) end = exponent;
  }
  bool ok = false;
  const double number = text.mid(start, end - start).toDouble(&ok);
  return ok ? number : 0.0;
}

QString qualityCaption(int position) {
  return QStringLiteral("Resim Kalitesi(%1)").arg(position);
}

HistoryButtons historyButtons(const QStringList& entries, int current) {
  const int last = static_cast<int>(entries.size()) - 1;
  HistoryButtons buttons;
  buttons.backEnabled = current > 0;
  buttons.forwardEnabled = current < last;
  buttons.backToolTip = QStringLiteral("Geri ");
  buttons.forwardToolTip = QStringLiteral("İleri ");
  if (buttons.backEnabled && current - 1 <= last) buttons.backToolTip += entries[current - 1];
  if (buttons.forwardEnabled && current + 1 >= 0) buttons.forwardToolTip += entries[current + 1];
  return buttons;
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

}  // namespace workspace
