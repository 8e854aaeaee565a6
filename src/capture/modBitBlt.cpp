#include "capture/modBitBlt.h"

#include "platform/picture/rectcopy.h"
#include "platform/video/capturewindow.h"

namespace modBitBlt {

picture::Picture grabPicture(const video::CaptureWindow* window, std::int32_t left,
                             std::int32_t top, std::int32_t width, std::int32_t height) {
  const QImage shown = window ? window->pixels() : QImage();
  QImage copy = picture::copyRect(shown, left, top, width, height, QImage::Format_RGB32);
  if (copy.isNull()) return {};
  return picture::Picture(std::move(copy));
}

}  // namespace modBitBlt
