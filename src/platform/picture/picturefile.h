#pragma once
// Picture files: saving as BMP and loading BMP, JPEG or GIF. A thin adapter
// between QImage and the codec (platform/imaging), whose readers and BMP
// writer do the work, with the file layer (platform/files) reading and
// replacing the files. The window that acts turns an error into its message.

#include <QString>
#include <variant>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/imaging/convert.h"
#include "platform/imaging/image_error.h"
#include "platform/picture/picture.h"

namespace picture {

enum class FileErrc {
  NoPicture,          // asked to save a picture that holds no bitmap
  FileNotFound,       // nothing at the path, or no regular file (a folder, a pipe)
  UnsupportedFormat,  // not BMP, JPEG or GIF, or a variant the codec does not read
  InvalidData,        // the content looked right but could not be decoded
  ReadFailed,         // the file exists but could not be opened or read
  WriteFailed,        // the new file could not be written; the old one is untouched
};

struct FileError {
  FileErrc code;
  QString detail;  // the path and the cause in words, for the log
  // What stopped it: the system call that failed, or the codec's verdict.
  std::variant<std::monostate, base::SystemError, imaging::ImageError> cause;
};

template <class T>
using FileResult = base::Expected<T, FileError>;

// Writes `picture` as a 24-bit BMP file at `path` (an indexed picture too:
// nothing the program does needs 8-bit files), replacing the file whole: it
// is written beside the old file and put in its place only when complete,
// so a failed save leaves the old file as it was. A durable save is flushed
// to the disk (folder included) and, like every picture file the program
// writes, refuses a file the user may not write; a link is followed.
//
// A scratch file (the temporary capture file, rewritten with every photo and
// read back at once) is still replaced whole, but not flushed to the disk:
// waiting for the disk would be most of the cost of taking a photo, and no
// one needs that file to outlive a power cut.
enum class Durability { Durable, Scratch };
FileResult<void> savePictureAsBmp(const Picture& picture, const QString& path,
                                  Durability durability = Durability::Durable);

// Writes `picture` as a BMP, JPEG or GIF file at `path`, durably (as a
// durable BMP save above): the file on disk is byte for byte what saving a
// BMP and converting it with the codec would give, with no file in between.
// A failure leaves the old file, if any, as it was and no temporary file
// behind; its cause is the failed system call (a full disk, a read-only
// folder) or the codec's verdict.
FileResult<void> savePicture(const Picture& picture, const QString& path,
                             imaging::PictureFormat format,
                             const imaging::ConvertOptions& options = {});

// Reads a BMP, JPEG or GIF file, recognised by its content whatever its name
// ends in (the temporary capture file is BMP data named "Capture.jpg"). The
// picture is true colour, whatever the file held.
FileResult<Picture> loadPicture(const QString& path);

}  // namespace picture
