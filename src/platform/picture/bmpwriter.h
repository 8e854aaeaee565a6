#pragma once
// The bytes of a Windows bitmap (BMP) file for an image.

#include <QByteArray>
#include <QImage>

namespace picture {

// An uncompressed, bottom-up BMP: 8-bit with the image's colour table for an
// indexed image, 24-bit for every other one (transparency is dropped). Empty
// for a null image or one too large for the format's 32-bit sizes.
QByteArray encodeBmp(const QImage& image);

}  // namespace picture
