#pragma once
// Wrapping a bitmap and its palette into a picture object.

#include "platform/picture/gdiobjects.h"
#include "platform/picture/picture.h"

namespace picture {

// A picture that takes ownership of both. An indexed bitmap takes the
// palette's colours as its own (a 256-entry table, missing entries black);
// a true-colour bitmap needs no palette and the palette is dropped. A null
// bitmap gives a picture without a bitmap.
Picture pictureFromBitmap(Bitmap bitmap, Palette palette);

}  // namespace picture
