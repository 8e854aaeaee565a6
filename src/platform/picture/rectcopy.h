#pragma once
// Cutting a rectangle out of pixels, the one place where pixels are copied:
// shared by the picture-clip component and the grab of a capture window.

#include <QImage>
#include <QList>

namespace picture {

// Exactly `width` × `height` pixels in `format` (Indexed8 takes
// `colorTable`): the rectangle of `source` whose top-left corner is at
// (`x`, `y`), black where it leaves `source` (all of it for a null source).
// Indexed into indexed copies the indices (both sides speak the same
// palette); otherwise colours are converted. A null image when a side is not
// positive, the size is beyond the limits of surface.h or `format` is not a
// storage format there. Coordinates may be anywhere in the int range:
// nothing overflows.
QImage copyRect(const QImage& source, int x, int y, int width, int height, QImage::Format format,
                const QList<QRgb>& colorTable = {});

}  // namespace picture
