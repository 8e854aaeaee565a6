#pragma once
// Turns a rectangle of the pixels a capture window shows into an independent
// picture that can be shown, cut and saved.

#include <cstdint>

#include "platform/picture/picture.h"

namespace video {
class CaptureWindow;
}

namespace modBitBlt {

// A true-colour picture of exactly width × height pixels holding a copy of
// that rectangle of the window's pixels as painted; where the rectangle
// leaves the window (or there is no window) it is black. The window is only
// read. No bitmap when a side is not positive or the size is beyond what the
// picture layer makes.
picture::Picture grabPicture(const video::CaptureWindow* window, std::int32_t left,
                             std::int32_t top, std::int32_t width, std::int32_t height);

}  // namespace modBitBlt
