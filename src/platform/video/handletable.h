#pragma once
// Capture windows by handle. Handles are never reused, so a message sent to a
// destroyed window's handle finds nothing instead of a newer window.

#include "platform/video/capwin.h"

namespace video {

class CaptureWindow;

HWND registerWindow(CaptureWindow* window);
// Null for an unknown handle or a window that was deleted behind our back
// (for example with its parent).
CaptureWindow* findWindow(HWND handle);
void unregisterWindow(HWND handle);

}  // namespace video
