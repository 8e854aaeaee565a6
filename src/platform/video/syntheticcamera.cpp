#include "platform/video/syntheticcamera.h"

#include <linux/videodev2.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "platform/imaging/jpeg_writer.h"

namespace video {
namespace {

constexpr auto kInterval = std::chrono::microseconds(33333);
constexpr int kJpegQuality = 85;

}  // namespace

std::vector<std::uint8_t> syntheticFrameBytes(std::uint32_t fourcc, std::uint64_t frameNumber,
                                              PictureControls controls) {
  const auto rgb = patternRgb(frameNumber, controls);
  if (fourcc == V4L2_PIX_FMT_YUYV) return rgbToYuyv(rgb, kPatternWidth, kPatternHeight);
  const imaging::PixelRows rows{kPatternWidth, kPatternHeight, imaging::ChannelOrder::Rgb,
                                rgb.data(), kPatternWidth * 3};
  const auto jpeg = imaging::encodeJpegRows(rows, kJpegQuality, imaging::HuffmanTables::Standard);
  if (!jpeg) return {};
  const auto bytes = jpeg->span();
  return {bytes.begin(), bytes.end()};
}

std::vector<FormatOption> SyntheticCamera::formatOptions() const {
  return {{V4L2_PIX_FMT_MJPEG, kPatternWidth, kPatternHeight},
          {V4L2_PIX_FMT_YUYV, kPatternWidth, kPatternHeight}};
}

base::Expected<FrameFormat, base::SystemError> SyntheticCamera::setFormat(
    const FormatOption& option) {
  FrameFormat f;
  // Like a driver, answer an unknown request with the nearest thing we do.
  f.fourcc = option.fourcc == V4L2_PIX_FMT_YUYV ? V4L2_PIX_FMT_YUYV : V4L2_PIX_FMT_MJPEG;
  f.width = kPatternWidth;
  f.height = kPatternHeight;
  f.bytesPerLine = f.fourcc == V4L2_PIX_FMT_YUYV ? kPatternWidth * 2 : 0;
  f.sizeImage = kPatternWidth * kPatternHeight * 2;
  f.intervalNumerator = 1;
  f.intervalDenominator = 30;
  format_ = f;
  return f;
}

base::Expected<void, base::SystemError> SyntheticCamera::start() {
  if (format_.fourcc == 0) return base::SystemError{EINVAL, "no format chosen"};
  streaming_ = true;
  frameNumber_ = 0;
  firstDue_ = Clock::now();
  return {};
}

NextResult SyntheticCamera::next(int wakeFd, const FrameSink& sink) {
  if (!streaming_) return {NextKind::Lost, {EINVAL, "not streaming"}};
  if (plugged_ && !plugged_->load())
    return {NextKind::Lost, {ENODEV, "synthetic camera unplugged"}};
  const auto now = Clock::now();
  auto due = firstDue_ + kInterval * static_cast<long>(frameNumber_);
  if (now - due > 2 * kInterval) {  // fell behind: do not race to catch up
    firstDue_ = now - kInterval * static_cast<long>(frameNumber_);
    due = now;
  }
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
      std::max<Clock::duration>(due - now, Clock::duration::zero()));
  pollfd wake{wakeFd, POLLIN, 0};
  const int ready = ::poll(&wake, 1, static_cast<int>(wait.count()));
  if (ready > 0) return {NextKind::Woken, {}};
  if (ready < 0 || Clock::now() < due) return {NextKind::Idle, {}};
  const auto bytes =
      syntheticFrameBytes(format_.fourcc, frameNumber_, {brightness_.load(), contrast_.load()});
  sink(RawFrame{bytes, format_, static_cast<std::uint32_t>(frameNumber_)});
  ++frameNumber_;
  return {NextKind::Frame, {}};
}

std::vector<ControlInfo> SyntheticCamera::controls() {
  return {{V4L2_CID_BRIGHTNESS, "Brightness", -64, 64, 1, 0, brightness_.load()},
          {V4L2_CID_CONTRAST, "Contrast", 0, 200, 1, 100, contrast_.load()}};
}

base::Expected<void, base::SystemError> SyntheticCamera::setControl(std::uint32_t id,
                                                                    std::int32_t value) {
  for (const auto& c : controls()) {
    if (c.id != id) continue;
    const int clamped = std::clamp(value, c.minimum, c.maximum);
    (id == V4L2_CID_BRIGHTNESS ? brightness_ : contrast_).store(clamped);
    return {};
  }
  return base::SystemError{EINVAL, "no such control"};
}

SyntheticProvider::SyntheticProvider(std::vector<std::string> names) {
  for (auto& name : names)
    cameras_.push_back({std::move(name), std::make_shared<std::atomic<bool>>(true)});
}

SyntheticProvider::~SyntheticProvider() = default;

std::vector<const SyntheticProvider::Camera*> SyntheticProvider::pluggedCameras() const {
  std::vector<const Camera*> plugged;
  for (const auto& camera : cameras_) {
    if (plugged.size() == kMaxDrivers) break;
    if (camera.plugged->load()) plugged.push_back(&camera);
  }
  return plugged;
}

std::vector<DriverInfo> SyntheticProvider::drivers() {
  std::vector<DriverInfo> infos;
  for (const Camera* camera : pluggedCameras())
    infos.push_back({camera->name, "synthetic 1.0", "synthetic:" + camera->name});
  return infos;
}

base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> SyntheticProvider::open(
    int number) {
  const auto plugged = pluggedCameras();
  if (number < 0 || number >= static_cast<int>(plugged.size()))
    return base::SystemError{ENODEV, "no synthetic camera " + std::to_string(number)};
  return std::unique_ptr<CaptureDevice>(
      std::make_unique<SyntheticCamera>(plugged[static_cast<std::size_t>(number)]->plugged));
}

void SyntheticProvider::unplug(const std::string& name) {
  setPlugged(name, false);
}

void SyntheticProvider::replug(const std::string& name) {
  setPlugged(name, true);
}

void SyntheticProvider::setPlugged(const std::string& name, bool plugged) {
  bool changed = false;
  for (auto& camera : cameras_)
    if (camera.name == name && camera.plugged->exchange(plugged) != plugged) changed = true;
  if (changed) emit notifier_.devicesChanged();
}

}  // namespace video
