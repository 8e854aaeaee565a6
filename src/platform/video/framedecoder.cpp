#include "platform/video/framedecoder.h"

#include <linux/videodev2.h>

#include "platform/video/areascaler.h"
#include "platform/video/jpegcodec.h"
#include "platform/video/v4lconverter.h"
#include "platform/video/yuyv.h"

namespace video {

FrameDecoder::FrameDecoder() = default;
FrameDecoder::~FrameDecoder() = default;

QImage FrameDecoder::decode(const RawFrame& frame, QSize target) {
  const FrameFormat& f = frame.format;
  QImage image;
  if (f.fourcc == V4L2_PIX_FMT_MJPEG || f.fourcc == V4L2_PIX_FMT_JPEG)
    image = decodeJpegToSize(frame.bytes, target);
  else if (f.fourcc == V4L2_PIX_FMT_YUYV)
    image = convertYuyv(frame.bytes, f.width, f.height, f.bytesPerLine);
  else
    image = convertOther(frame);
  if (image.isNull()) return {};
  return scaleSmoothly(std::move(image), target);
}

QImage FrameDecoder::convertOther(const RawFrame& frame) {
  if (!converter_) converter_ = V4lConverter::create();
  if (!converter_) return {};
  const auto rgb = converter_->toRgb24(frame.bytes, frame.format);
  if (rgb.empty()) return {};
  const QImage view(rgb.data(), frame.format.width, frame.format.height, frame.format.width * 3,
                    QImage::Format_RGB888);
  return view.convertToFormat(QImage::Format_RGB32);
}

}  // namespace video
