#pragma once
// The device context of a capture window's client area, for copying the
// live picture. The context shows the window's pixels as they were when it
// was obtained.

#include "platform/picture/devicecontext.h"
#include "platform/video/capwin.h"

namespace capture {

// A display context over the window's pixels; for an unknown or destroyed
// handle, a display with nothing on it (a copy from it is black).
picture::DeviceContext GetDC(video::HWND window);

// Gives the context back; 1 when it was a display context, 0 otherwise.
int ReleaseDC(video::HWND window, picture::DeviceContext&& dc);

}  // namespace capture
