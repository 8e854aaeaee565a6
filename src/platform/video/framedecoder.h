#pragma once
// Turns a raw camera frame into the picture to show: MJPEG through
// libjpeg-turbo (reduced DCT scale when the target is much smaller), YUYV
// directly, other formats through libv4lconvert; then a smooth scale to the
// target size. No widget involved: the stream's worker thread runs it.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/video/areascaler.h"
#include "platform/video/capturedevice.h"

namespace video {

class V4lConverter;

class FrameDecoder {
 public:
  FrameDecoder();
  ~FrameDecoder();
  FrameDecoder(const FrameDecoder&) = delete;
  FrameDecoder& operator=(const FrameDecoder&) = delete;

  // The frame at `target` size, or at its own size when `target` is empty;
  // a null image for a damaged frame or one that cannot be converted.
  QImage decode(const RawFrame& frame, QSize target);

 private:
  QImage convertOther(const RawFrame& frame);

  std::unique_ptr<V4lConverter> converter_;
};

}  // namespace video
