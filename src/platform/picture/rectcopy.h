#pragma once
// Moving a rectangle of pixels from one surface to another, the one place
// where pixels are copied. Shared by BitBlt and the picture-clip component.

#include <QImage>

namespace picture {

// Fills the `width` × `height` rectangle of `target` at (`x`, `y`) from the
// rectangle of `source` at (`sourceX`, `sourceY`). The part outside `target`
// is dropped; the part whose source pixels lie outside `source` (all of it
// for a null source) becomes black. Indexed into indexed copies the indices
// (both sides speak the same palette); otherwise colours are converted to the
// target's format. `target` must be in a storage format of surface.h.
// Coordinates may be anywhere in the int range: nothing overflows.
void copyRect(QImage source, int sourceX, int sourceY, QImage& target, int x, int y, int width,
              int height);

}  // namespace picture
