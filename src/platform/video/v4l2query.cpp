#include "platform/video/v4l2query.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <optional>

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

FrameSizeRange sizeRange(const v4l2_frmsizeenum& size) {
  if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE)
    return FrameSizeRange::discrete(static_cast<int>(size.discrete.width),
                                    static_cast<int>(size.discrete.height));
  const auto& s = size.stepwise;
  return {size.type == V4L2_FRMSIZE_TYPE_CONTINUOUS ? FrameSizeRange::Kind::Continuous
                                                    : FrameSizeRange::Kind::Stepwise,
          static_cast<int>(s.min_width),
          static_cast<int>(s.min_height),
          static_cast<int>(s.max_width),
          static_cast<int>(s.max_height),
          std::max(1, static_cast<int>(s.step_width)),
          std::max(1, static_cast<int>(s.step_height))};
}

std::vector<FrameSizeRange> frameSizes(int fd, std::uint32_t fourcc) {
  std::vector<FrameSizeRange> sizes;
  v4l2_frmsizeenum size{};
  size.pixel_format = fourcc;
  for (size.index = 0; VIDEO_IOCTL(fd, VIDIOC_ENUM_FRAMESIZES, &size) == 0; ++size.index) {
    sizes.push_back(sizeRange(size));
    // A range is the only entry; a driver that never says "no more" stops here.
    if (size.type != V4L2_FRMSIZE_TYPE_DISCRETE || size.index > 64) break;
  }
  if (!sizes.empty()) return sizes;
  // No size list: the node's current size is the one we know it can do.
  v4l2_format current{};
  current.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (VIDEO_IOCTL(fd, VIDIOC_G_FMT, &current) == 0)
    sizes.push_back(FrameSizeRange::discrete(static_cast<int>(current.fmt.pix.width),
                                             static_cast<int>(current.fmt.pix.height)));
  return sizes;
}

void requestInterval(int fd, const FormatOption& option) {
  v4l2_streamparm parm{};
  parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (VIDEO_IOCTL(fd, VIDIOC_G_PARM, &parm) != 0) return;
  if (!(parm.parm.capture.capability & V4L2_CAP_TIMEPERFRAME)) return;
  const bool chosen = option.intervalNumerator != 0 && option.intervalDenominator != 0;
  parm.parm.capture.timeperframe =
      chosen ? v4l2_fract{option.intervalNumerator, option.intervalDenominator} : v4l2_fract{1, 30};
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

std::vector<PixelFormatInfo> enumeratePixelFormats(int fd) {
  std::vector<PixelFormatInfo> formats;
  v4l2_fmtdesc desc{};
  desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  for (desc.index = 0; VIDEO_IOCTL(fd, VIDIOC_ENUM_FMT, &desc) == 0; ++desc.index) {
    formats.push_back({desc.pixelformat,
                       trimmed(fromFixed(desc.description, sizeof desc.description)),
                       frameSizes(fd, desc.pixelformat)});
    if (desc.index > 64) break;  // a driver that never says "no more"
  }
  return formats;
}

FrameIntervals enumerateFrameIntervals(int fd, std::uint32_t fourcc, int width, int height) {
  FrameIntervals intervals;
  v4l2_frmivalenum ival{};
  ival.pixel_format = fourcc;
  ival.width = static_cast<__u32>(width);
  ival.height = static_cast<__u32>(height);
  for (ival.index = 0; VIDEO_IOCTL(fd, VIDIOC_ENUM_FRAMEINTERVALS, &ival) == 0; ++ival.index) {
    if (ival.type == V4L2_FRMIVAL_TYPE_DISCRETE) {
      if (ival.discrete.numerator != 0 && ival.discrete.denominator != 0)
        intervals.discrete.push_back({ival.discrete.numerator, ival.discrete.denominator});
      if (ival.index > 64) break;
      continue;
    }
    const auto& s = ival.stepwise;
    if (s.min.numerator == 0 || s.min.denominator == 0 || s.max.denominator == 0) break;
    intervals.kind = ival.type == V4L2_FRMIVAL_TYPE_CONTINUOUS ? FrameIntervals::Kind::Continuous
                                                               : FrameIntervals::Kind::Stepwise;
    intervals.minimum = {s.min.numerator, s.min.denominator};
    intervals.maximum = {s.max.numerator, s.max.denominator};
    intervals.step = {s.step.numerator, s.step.denominator};
    break;
  }
  return intervals;
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
  requestInterval(fd, option);
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

namespace {

std::optional<ControlType> controlType(std::uint32_t type) {
  switch (type) {
    case V4L2_CTRL_TYPE_INTEGER:
      return ControlType::Integer;
    case V4L2_CTRL_TYPE_BOOLEAN:
      return ControlType::Boolean;
    case V4L2_CTRL_TYPE_MENU:
      return ControlType::Menu;
    case V4L2_CTRL_TYPE_INTEGER_MENU:
      return ControlType::IntegerMenu;
    case V4L2_CTRL_TYPE_BUTTON:
      return ControlType::Button;
    default:
      return std::nullopt;  // 64-bit, string, bitmask and compound controls are not shown
  }
}

ControlFlags controlFlags(std::uint32_t flags) {
  ControlFlags f;
  f.inactive = flags & V4L2_CTRL_FLAG_INACTIVE;
  f.readOnly = flags & V4L2_CTRL_FLAG_READ_ONLY;
  f.disabled = flags & V4L2_CTRL_FLAG_DISABLED;
  f.grabbed = flags & V4L2_CTRL_FLAG_GRABBED;
  f.writeOnly = flags & V4L2_CTRL_FLAG_WRITE_ONLY;
  f.isVolatile = flags & V4L2_CTRL_FLAG_VOLATILE;
  f.updatesOthers = flags & V4L2_CTRL_FLAG_UPDATE;
  return f;
}

std::int32_t clampToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// The items of a menu; indices the driver refuses are holes and left out.
std::vector<MenuItem> menuItems(int fd, const v4l2_query_ext_ctrl& query, bool integers) {
  std::vector<MenuItem> items;
  if (query.minimum < 0 || query.maximum > 255) return items;
  for (auto index = static_cast<std::uint32_t>(query.minimum);
       index <= static_cast<std::uint32_t>(query.maximum); ++index) {
    v4l2_querymenu menu{};
    menu.id = query.id;
    menu.index = index;
    if (VIDEO_IOCTL(fd, VIDIOC_QUERYMENU, &menu) != 0) continue;
    if (integers)
      items.push_back({index, {}, menu.value});
    else
      items.push_back({index, fromFixed(menu.name, sizeof menu.name), 0});
  }
  return items;
}

ControlInfo describe(int fd, const v4l2_query_ext_ctrl& query, ControlType type) {
  ControlInfo c;
  c.id = query.id;
  c.controlClass = V4L2_CTRL_ID2CLASS(query.id);
  c.type = type;
  c.name = fromFixed(reinterpret_cast<const __u8*>(query.name), sizeof query.name);
  c.minimum = clampToInt32(query.minimum);
  c.maximum = clampToInt32(query.maximum);
  c.step = static_cast<std::int32_t>(std::clamp<std::uint64_t>(query.step, 1, INT32_MAX));
  c.defaultValue = clampToInt32(query.default_value);
  c.value = c.defaultValue;
  c.flags = controlFlags(query.flags);
  if (type == ControlType::Menu || type == ControlType::IntegerMenu)
    c.menu = menuItems(fd, query, type == ControlType::IntegerMenu);
  const bool readable = !c.flags.writeOnly && type != ControlType::Button && !c.flags.disabled;
  if (readable) {
    if (auto value = readControl(fd, c.id)) c.value = *value;
  }
  return c;
}

}  // namespace

std::vector<ControlInfo> enumerateControls(int fd) {
  std::vector<ControlInfo> controls;
  std::map<std::uint32_t, std::string> classNames;
  v4l2_query_ext_ctrl query{};
  query.id = V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND;
  for (int guard = 0; guard < 1024 && VIDEO_IOCTL(fd, VIDIOC_QUERY_EXT_CTRL, &query) == 0;
       ++guard) {
    if (query.type == V4L2_CTRL_TYPE_CTRL_CLASS) {
      classNames[V4L2_CTRL_ID2CLASS(query.id)] =
          fromFixed(reinterpret_cast<const __u8*>(query.name), sizeof query.name);
    } else if (const auto type = controlType(query.type);
               type && !(query.flags & V4L2_CTRL_FLAG_HAS_PAYLOAD)) {
      controls.push_back(describe(fd, query, *type));
    }
    query.id |= V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND;
  }
  // Headers come before their controls in practice, but nothing promises it.
  for (auto& c : controls)
    if (const auto it = classNames.find(c.controlClass); it != classNames.end())
      c.className = it->second;
  return controls;
}

base::Expected<void, base::SystemError> writeControl(int fd, std::uint32_t id, std::int32_t value) {
  v4l2_ext_control control{};
  control.id = id;
  control.value = value;
  v4l2_ext_controls list{};
  list.which = V4L2_CTRL_WHICH_CUR_VAL;
  list.count = 1;
  list.controls = &control;
  if (const int err = VIDEO_IOCTL(fd, VIDIOC_S_EXT_CTRLS, &list))
    return base::SystemError{err, "VIDIOC_S_EXT_CTRLS"};
  return {};
}

base::Expected<std::int32_t, base::SystemError> readControl(int fd, std::uint32_t id) {
  v4l2_ext_control control{};
  control.id = id;
  v4l2_ext_controls list{};
  list.which = V4L2_CTRL_WHICH_CUR_VAL;
  list.count = 1;
  list.controls = &control;
  if (const int err = VIDEO_IOCTL(fd, VIDIOC_G_EXT_CTRLS, &list))
    return base::SystemError{err, "VIDIOC_G_EXT_CTRLS"};
  return control.value;
}

}  // namespace video
