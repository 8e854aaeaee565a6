#include "platform/video/v4lconverter.h"

// clang-format off
#include <libv4lconvert.h>
#include <libv4l-plugin.h>
// clang-format on

#include <cerrno>
#include <cstring>

namespace video {
namespace {

// libv4lconvert asks its device what it is before converting anything; this
// answers as a plain capture device and refuses the rest, so no real device
// (and no fake one in the tests) is ever touched by it.
int detachedIoctl(void*, int, unsigned long request, void* arg) {
  if (request == VIDIOC_QUERYCAP) {
    auto* caps = static_cast<v4l2_capability*>(arg);
    std::memset(caps, 0, sizeof *caps);
    static constexpr char kName[] = "tandeo";
    static_assert(sizeof kName <= sizeof caps->driver && sizeof kName <= sizeof caps->card);
    std::memcpy(caps->driver, kName, sizeof kName);
    std::memcpy(caps->card, kName, sizeof kName);
    caps->capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    caps->device_caps = caps->capabilities;
    return 0;
  }
  errno = ENOTTY;
  return -1;
}

const libv4l_dev_ops* detachedOps() {
  static const libv4l_dev_ops ops = [] {
    libv4l_dev_ops o{};
    o.ioctl = detachedIoctl;
    return o;
  }();
  return &ops;
}

}  // namespace

std::unique_ptr<V4lConverter> V4lConverter::create() {
  v4lconvert_data* data = v4lconvert_create_with_dev_ops(-1, nullptr, detachedOps());
  if (!data) return nullptr;
  return std::unique_ptr<V4lConverter>(new V4lConverter(data));
}

V4lConverter::~V4lConverter() {
  v4lconvert_destroy(data_);
}

std::span<const std::uint8_t> V4lConverter::toRgb24(std::span<const std::uint8_t> data,
                                                    const FrameFormat& format) {
  if (format.width <= 0 || format.height <= 0) return {};
  v4l2_format source{};
  source.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  source.fmt.pix.width = static_cast<__u32>(format.width);
  source.fmt.pix.height = static_cast<__u32>(format.height);
  source.fmt.pix.pixelformat = format.fourcc;
  source.fmt.pix.bytesperline = format.bytesPerLine;
  source.fmt.pix.sizeimage = format.sizeImage;
  source.fmt.pix.field = V4L2_FIELD_NONE;
  v4l2_format target = source;
  target.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
  target.fmt.pix.bytesperline = source.fmt.pix.width * 3;
  target.fmt.pix.sizeimage = target.fmt.pix.bytesperline * source.fmt.pix.height;
  rgb_.resize(target.fmt.pix.sizeimage);
  const int written =
      v4lconvert_convert(data_, &source, &target, const_cast<unsigned char*>(data.data()),
                         static_cast<int>(data.size()), rgb_.data(), static_cast<int>(rgb_.size()));
  if (written < static_cast<int>(rgb_.size())) return {};
  return rgb_;
}

}  // namespace video
