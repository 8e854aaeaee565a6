#include "platform/imaging/quality.h"

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace imaging {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::size_t digitsAt(std::string_view text, std::size_t at) {
  std::size_t n = 0;
  while (at + n < text.size() && text[at + n] >= '0' && text[at + n] <= '9') ++n;
  return n;
}

// A minus sign, digits with or without a point (at least one digit), and an
// exponent: the decimal form alone, no hexadecimal, no "inf" or "nan".
bool isDecimalNumber(std::string_view text) {
  std::size_t i = !text.empty() && text.front() == '-' ? 1 : 0;
  std::size_t digits = digitsAt(text, i);
  i += digits;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fraction = digitsAt(text, i + 1);
    digits += fraction;
    i += 1 + fraction;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t exponent = digitsAt(text, i);
    if (exponent == 0) return false;
    i += exponent;
  }
  return i == text.size();
}

// The "C" numeric rules, so that the point is the decimal point whatever the
// user's locale says (the program takes LC_NUMERIC from the environment, and
// Turkish writes a comma). strtod_l rather than std::from_chars: the latter
// would bring the maths library into velmora-convert for this one call, and
// loading it costs as much as a small conversion's margin.
class CNumericLocale {
 public:
  CNumericLocale() : locale_(::newlocale(LC_NUMERIC_MASK, "C", locale_t{})) {}
  ~CNumericLocale() {
    if (locale_) ::freelocale(locale_);
  }
  CNumericLocale(const CNumericLocale&) = delete;
  CNumericLocale& operator=(const CNumericLocale&) = delete;
  locale_t get() const { return locale_; }

 private:
  locale_t locale_;
};

}  // namespace

int clampQuality(std::int64_t quality) {
  if (quality < kMinQuality) return kMinQuality;
  if (quality > kMaxQuality) return kMaxQuality;
  return static_cast<int>(quality);
}

Result<int> parseQuality(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (!isDecimalNumber(text)) return ImageError::BadQualityText;
  static const CNumericLocale cLocale;
  if (!cLocale.get()) return ImageError::BadQualityText;
  // Out of range, strtod gives a huge value or zero with the right sign, and
  // both clamp as they should.
  const double value = ::strtod_l(std::string(text).c_str(), nullptr, cLocale.get());
  if (value > kMaxQuality) return kMaxQuality;
  if (value < kMinQuality) return kMinQuality;
  // Half away from zero, as llround would; the fraction of a value within
  // 1..100 is exact.
  const auto whole = static_cast<int>(value);
  return clampQuality(value - whole >= 0.5 ? whole + 1 : whole);
}

}  // namespace imaging
