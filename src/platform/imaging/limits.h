#pragma once
// Size limits checked before any pixel buffer is allocated, so a crafted
// header cannot make a reader ask for gigabytes.

#include <cstdint>

#include "platform/imaging/image_error.h"

namespace imaging {

inline constexpr std::int64_t kMaxSide = 16384;
inline constexpr std::int64_t kMaxPixels = 100'000'000;
// Larger source files are refused as TooLarge: no picture within the limits
// above needs more (100 Mpx at 32 bits is 400 MB).
inline constexpr std::int64_t kMaxSourceBytes = std::int64_t{512} << 20;

// Damaged for a side of zero or less, TooLarge over the limits.
Result<void> checkDimensions(std::int64_t width, std::int64_t height);

}  // namespace imaging
