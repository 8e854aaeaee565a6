#pragma once
// Errors as values for picture files: the window that acts decides the
// message; the detail is for the log.

#include <QString>

#include "platform/base/expected.h"

namespace picture {

enum class Errc {
  NoPicture,          // asked to save a picture that holds no bitmap
  FileNotFound,       // nothing (or no regular file) at the path
  UnsupportedFormat,  // the content is not BMP, JPEG or GIF
  InvalidData,        // the content looked right but could not be decoded
  ReadFailed,         // the file exists but could not be opened or read
  WriteFailed,        // the new file could not be written; the old one is untouched
};

struct Error {
  Errc code;
  QString detail;
};

template <class T>
using Result = base::Expected<T, Error>;

}  // namespace picture
