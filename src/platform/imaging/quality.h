#pragma once
// JPEG quality as the callers give it: the workspace passes a whole number
// (up to 130), the converter the text of its quality box.

#include <cstdint>
#include <string_view>

#include "platform/imaging/image_error.h"

namespace imaging {

inline constexpr int kMinQuality = 1;
inline constexpr int kMaxQuality = 100;

int clampQuality(std::int64_t quality);

// Blanks around the text are ignored; a decimal number (sign, fraction and
// exponent allowed) is rounded to the nearest whole number, then clamped.
// Anything else, an empty text included, is BadQualityText.
Result<int> parseQuality(std::string_view text);

}  // namespace imaging
