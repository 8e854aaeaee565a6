#include "capture/getdc.h"

#include <QImage>

namespace capture {

picture::DeviceContext GetDC(video::HWND window) {
  return picture::DeviceContext::forDisplay(video::windowPixels(window));
}

int ReleaseDC(video::HWND /*window*/, picture::DeviceContext&& dc) {
  // The context holds its own copy of the pixels: there is nothing to hand
  // back to the window, only the context to end.
  const picture::DeviceContext released = std::move(dc);
  return released.isDisplay() ? 1 : 0;
}

}  // namespace capture
