#include "platform/imaging/image_error.h"

namespace imaging {

const char* describe(ImageError error) {
  switch (error) {
    case ImageError::SourceMissing:
      return "source file does not exist";
    case ImageError::SourceUnreadable:
      return "source file cannot be read";
    case ImageError::NotThisType:
      return "source file is not a picture of the expected type";
    case ImageError::Damaged:
      return "source picture is damaged";
    case ImageError::Unsupported:
      return "source picture uses a variant that is not supported";
    case ImageError::TooLarge:
      return "picture is too large";
    case ImageError::TargetNotWritable:
      return "target file cannot be written";
    case ImageError::BadQualityText:
      return "quality is not a number";
  }
  return "unknown error";
}

}  // namespace imaging
