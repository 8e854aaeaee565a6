#include "capture/modWebCam.h"

#include <QListWidget>
#include <QWidget>
#include <cmath>
#include <cstring>
#include <string>

namespace modWebCam {

video::HWND hwndCapture = 0;
std::int32_t captureDriverIndex = 0;

namespace {

constexpr int kBufferSize = 100;

QString nameFromBuffer(const char* buffer) {
  return QString::fromUtf8(buffer, static_cast<qsizetype>(strnlen(buffer, kBufferSize))).trimmed();
}

}  // namespace

void listCaptureDrivers(QListWidget& list) {
  char name[kBufferSize];
  char version[kBufferSize];
  std::memset(name, ' ', sizeof name);
  std::memset(version, ' ', sizeof version);
  list.clear();
  for (int driver = 0;; ++driver) {
    if (!video::capGetDriverDescriptionA(driver, name, kBufferSize, version, kBufferSize)) break;
    list.addItem(nameFromBuffer(name));
  }
}

void openCaptureWindow(std::int32_t driverNumber, QWidget& host) {
  captureDriverIndex = driverNumber;
  const video::HWND window =
      video::capCreateCaptureWindowA(std::to_string(captureDriverIndex),
                                     video::WS_CHILD | video::WS_VISIBLE, 0, 0, 320, 240, &host, 0);
  hwndCapture = window;
  if (video::SendMessageA(hwndCapture, video::WM_CAP_DRIVER_CONNECT, captureDriverIndex, 0)) {
    video::SendMessageA(hwndCapture, video::WM_CAP_SET_SCALE, -1, 0);
    video::SendMessageA(hwndCapture, video::WM_CAP_SET_PREVIEWRATE, 66, 0);
    video::SendMessageA(hwndCapture, video::WM_CAP_SET_PREVIEW, -1, 0);
    const QSize inner = host.contentsRect().size();
    video::SetWindowPos(hwndCapture, video::HWND_BOTTOM, 0, 0, inner.width(), inner.height(),
                        video::SWP_NOMOVE | video::SWP_NOZORDER);
  } else {
    video::DestroyWindow(hwndCapture);
  }
}

void closeCaptureWindow() {
  video::SendMessageA(hwndCapture, video::WM_CAP_DRIVER_DISCONNECT, captureDriverIndex, 0);
  video::DestroyWindow(hwndCapture);
}

}  // namespace modWebCam
