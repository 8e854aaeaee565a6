#pragma once
// Access to the capture drivers: list them, open the workspace capture window
// inside a host picture box with a live preview, and close it again. Every
// capture command is a capture-window message (see platform/video/capwin.h).

#include <cstdint>

#include "platform/video/capwin.h"

class QListWidget;
class QWidget;

namespace modWebCam {

// Module state; starts at 0 and is never reset after use.
extern video::HWND hwndCapture;
extern std::int32_t captureDriverIndex;

void listCaptureDrivers(QListWidget& list);
void openCaptureWindow(std::int32_t driverNumber, QWidget& host);
void closeCaptureWindow();

}  // namespace modWebCam
