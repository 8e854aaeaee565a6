#pragma once
// Why a conversion failed. The windows turn each cause into their own Turkish
// message; the command-line converter prints describe().

#include "platform/base/expected.h"

namespace imaging {

enum class ImageError {
  SourceMissing,      // no such file, or an empty path
  SourceUnreadable,   // exists but cannot be opened or read (folder, permissions, I/O)
  NotThisType,        // the file is not a picture of the format asked for
  Damaged,            // right format, but inconsistent or cut short
  Unsupported,        // a valid variant this codec does not decode (e.g. BMP with embedded PNG)
  TooLarge,           // over the side or pixel-count limits
  TargetNotWritable,  // target read-only, folder not writable, or the write failed
  BadQualityText,     // the quality given as text is not a number
};

const char* describe(ImageError error);

template <class T>
using Result = base::Expected<T, ImageError>;

}  // namespace imaging
