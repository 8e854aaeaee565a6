#include "platform/imaging/quality.h"

#include <cctype>
#include <charconv>
#include <cmath>

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

}  // namespace

int clampQuality(std::int64_t quality) {
  if (quality < kMinQuality) return kMinQuality;
  if (quality > kMaxQuality) return kMaxQuality;
  return static_cast<int>(quality);
}

Result<int> parseQuality(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  // from_chars would take "inf" and "nan"; a number starts with a digit,
  // a sign or a point.
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) ||
                        text.front() == '-' || text.front() == '.'))
    return ImageError::BadQualityText;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (end != text.data() + text.size()) return ImageError::BadQualityText;
  if (ec == std::errc::result_out_of_range) {
    const bool tiny = text.find("e-") != text.npos || text.find("E-") != text.npos;
    return tiny || text.front() == '-' ? kMinQuality : kMaxQuality;
  }
  if (ec != std::errc() || !std::isfinite(value)) return ImageError::BadQualityText;
  if (value > kMaxQuality) return kMaxQuality;
  if (value < kMinQuality) return kMinQuality;
  return clampQuality(std::llround(value));
}

}  // namespace imaging
