#include "platform/imaging/limits.h"

namespace imaging {

Result<void> checkDimensions(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) return ImageError::Damaged;
  if (width > kMaxSide || height > kMaxSide) return ImageError::TooLarge;
  if (width * height > kMaxPixels) return ImageError::TooLarge;
  return {};
}

}  // namespace imaging
