#pragma once
// Picture files: saving as BMP and loading BMP, JPEG or GIF. The window that
// acts turns an error into its message.

#include <QString>

#include "platform/picture/picture.h"
#include "platform/picture/result.h"

namespace picture {

// Writes `picture` as a BMP file (see bmpwriter.h) at `path`, through the
// codec's atomic replacement: written beside the old file and put in its
// place only when complete, so a failed save leaves the old file as it was.
// A durable save is flushed to the disk (folder included) and, like every
// picture file the program writes, refuses a file the user may not write.
//
// A scratch file (the temporary capture file, rewritten with every photo and
// read back at once) is still replaced whole, but not flushed to the disk:
// waiting for the disk would be most of the cost of taking a photo, and no
// one needs that file to outlive a power cut.
enum class Durability { Durable, Scratch };
Result<void> savePictureAsBmp(const Picture& picture, const QString& path,
                              Durability durability = Durability::Durable);

// Reads a BMP, JPEG or GIF file, recognised by its content whatever its name
// ends in (the temporary capture file is BMP data named "Capture.jpg").
Result<Picture> loadPicture(const QString& path);

}  // namespace picture
