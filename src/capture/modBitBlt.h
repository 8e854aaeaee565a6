#pragma once
// Turns a rectangle of pixels shown on a device context (the live picture of
// the capture window) into an independent picture object that can be shown,
// cut and saved.

#include <cstdint>

#include "platform/picture/devicecontext.h"
#include "platform/picture/picture.h"
#include "platform/picture/picturefrombitmap.h"

namespace modBitBlt {

// A picture of exactly width × height pixels holding a copy of that rectangle
// of `source`; where the rectangle leaves the source it is black. On a
// 256-colour palette device the picture carries a copy of the system palette.
// `source` stays the caller's. No bitmap when a side is not positive or the
// size is beyond what the picture layer makes.
picture::Picture grabPicture(const picture::DeviceContext& source, std::int32_t left,
                             std::int32_t top, std::int32_t width, std::int32_t height);

// Wraps a bitmap and its palette (null when there is none) into a picture
// object that owns both.
using picture::pictureFromBitmap;

}  // namespace modBitBlt
