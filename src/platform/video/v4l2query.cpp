#include "platform/video/v4l2query.h"

#include <algorithm>
#include <cstring>

#include "platform/video/formatchoice.h"
#include "platform/video/syscalls.h"

namespace video {
namespace {

std::string fromFixed(const __u8* text, std::size_t size) {
  const auto* begin = reinterpret_cast<const char*>(text);
  return std::string(begin, strnlen(begin, size));
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Sizes a stepwise or continuous range is likely to be used at.
constexpr std::pair<int, int> kCommonSizes[] = {{160, 120},   {320, 240},  {640, 480},
                                                {800, 600},   {1024, 768}, {1280, 960},
                                                {1600, 1200}, {1280, 720}, {1920, 1080}};

bool fitsStepwise(const v4l2_frmsize_stepwise& s, int w, int h) {
  const auto fits = [](__u32 value, __u32 lo, __u32 hi, __u32 step) {
    return value >= lo && value <= hi && (step == 0 || (value - lo) % step == 0);
  };
  return fits(static_cast<__u32>(w), s.min_width, s.max_width, s.step_width) &&
         fits(static_cast<__u32>(h), s.min_height, s.max_height, s.step_height);
}

void addSizes(int fd, std::uint32_t fourcc, std::vector<FormatOption>& out) {
  v4l2_frmsizeenum size{};
  size.pixel_format = fourcc;
  for (size.index = 0; VIDEO_IOCTL(fd, VIDIOC_ENUM_FRAMESIZES, &size) == 0; ++size.index) {
    if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
      out.push_back(
          {fourcc, static_cast<int>(size.discrete.width), static_cast<int>(size.discrete.height)});
      continue;
    }
    for (auto [w, h] : kCommonSizes)
      if (fitsStepwise(size.stepwise, w, h)) out.push_back({fourcc, w, h});
    out.push_back({fourcc, static_cast<int>(size.stepwise.max_width),
                   static_cast<int>(size.stepwise.max_height)});
    return;
  }
  if (size.index > 0) return;
  // No size list: the node's current size is the one we know it can do.
  v4l2_format current{};
  current.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (VIDEO_IOCTL(fd, VIDIOC_G_FMT, &current) == 0)
    out.push_back({fourcc, static_cast<int>(current.fmt.pix.width),
                   static_cast<int>(current.fmt.pix.height)});
}

void requestThirtyFps(int fd) {
  v4l2_streamparm parm{};
  parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (VIDEO_IOCTL(fd, VIDIOC_G_PARM, &parm) != 0) return;
  if (!(parm.parm.capture.capability & V4L2_CAP_TIMEPERFRAME)) return;
  parm.parm.capture.timeperframe = {1, 30};
  VIDEO_IOCTL(fd, VIDIOC_S_PARM, &parm);
}

}  // namespace

base::Expected<v4l2_capability, base::SystemError> queryCapabilities(int fd) {
  v4l2_capability caps{};
  if (const int err = VIDEO_IOCTL(fd, VIDIOC_QUERYCAP, &caps))
    return base::SystemError{err, "VIDIOC_QUERYCAP"};
  return caps;
}

bool isStreamingCaptureNode(const v4l2_capability& caps) {
  const std::uint32_t node =
      (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
  return (node & V4L2_CAP_VIDEO_CAPTURE) && (node & V4L2_CAP_STREAMING);
}

std::string cardName(const v4l2_capability& caps) {
  return trimmed(fromFixed(caps.card, sizeof caps.card));
}

std::string driverVersion(const v4l2_capability& caps) {
  return fromFixed(caps.driver, sizeof caps.driver) + ' ' +
         std::to_string((caps.version >> 16) & 0xFF) + '.' +
         std::to_string((caps.version >> 8) & 0xFF) + '.' + std::to_string(caps.version & 0xFF);
}

std::vector<FormatOption> enumerateFormats(int fd) {
  std::vector<FormatOption> options;
  v4l2_fmtdesc desc{};
  desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  for (desc.index = 0; VIDEO_IOCTL(fd, VIDIOC_ENUM_FMT, &desc) == 0; ++desc.index) {
    if (isShowableFourcc(desc.pixelformat)) addSizes(fd, desc.pixelformat, options);
    if (desc.index > 64) break;  // a driver that never says "no more"
  }
  return options;
}

base::Expected<FrameFormat, base::SystemError> applyFormat(int fd, const FormatOption& option) {
  v4l2_format fmt{};
  fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  fmt.fmt.pix.width = static_cast<__u32>(option.width);
  fmt.fmt.pix.height = static_cast<__u32>(option.height);
  fmt.fmt.pix.pixelformat = option.fourcc;
  fmt.fmt.pix.field = V4L2_FIELD_NONE;
  if (const int err = VIDEO_IOCTL(fd, VIDIOC_S_FMT, &fmt))
    return base::SystemError{err, "VIDIOC_S_FMT"};
  if (!isShowableFourcc(fmt.fmt.pix.pixelformat) || fmt.fmt.pix.width == 0 ||
      fmt.fmt.pix.height == 0 || fmt.fmt.pix.width > 16384 || fmt.fmt.pix.height > 16384)
    return base::SystemError{EINVAL, "VIDIOC_S_FMT gave an unusable format"};
  requestThirtyFps(fd);
  FrameFormat format;
  format.fourcc = fmt.fmt.pix.pixelformat;
  format.width = static_cast<int>(fmt.fmt.pix.width);
  format.height = static_cast<int>(fmt.fmt.pix.height);
  format.bytesPerLine = fmt.fmt.pix.bytesperline;
  format.sizeImage = fmt.fmt.pix.sizeimage;
  v4l2_streamparm parm{};
  parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (VIDEO_IOCTL(fd, VIDIOC_G_PARM, &parm) == 0) {
    format.intervalNumerator = parm.parm.capture.timeperframe.numerator;
    format.intervalDenominator = parm.parm.capture.timeperframe.denominator;
  }
  return format;
}

std::vector<ControlInfo> enumerateControls(int fd) {
  std::vector<ControlInfo> controls;
  v4l2_queryctrl query{};
  query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
  while (VIDEO_IOCTL(fd, VIDIOC_QUERYCTRL, &query) == 0 && controls.size() < 256) {
    const bool usable = !(query.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY)) &&
                        (query.type == V4L2_CTRL_TYPE_INTEGER ||
                         query.type == V4L2_CTRL_TYPE_BOOLEAN || query.type == V4L2_CTRL_TYPE_MENU);
    if (usable) {
      v4l2_control value{query.id, query.default_value};
      VIDEO_IOCTL(fd, VIDIOC_G_CTRL, &value);
      controls.push_back({query.id, fromFixed(query.name, sizeof query.name), query.minimum,
                          query.maximum, std::max(1, query.step), query.default_value,
                          value.value});
    }
    query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
  }
  return controls;
}

base::Expected<void, base::SystemError> writeControl(int fd, std::uint32_t id, std::int32_t value) {
  v4l2_control control{id, value};
  if (const int err = VIDEO_IOCTL(fd, VIDIOC_S_CTRL, &control))
    return base::SystemError{err, "VIDIOC_S_CTRL"};
  return {};
}

}  // namespace video
