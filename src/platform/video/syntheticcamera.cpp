#include "platform/video/syntheticcamera.h"

#include <linux/videodev2.h>
#include <poll.h>

#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/imaging/jpeg_writer.h"
#include "platform/video/formatchoice.h"

namespace video {
namespace {

constexpr int kJpegQuality = 85;
constexpr std::pair<int, int> kSizes[] = {{320, 240}, {640, 480}, {1280, 720}, {1920, 1080}};

// The menu values a UVC camera gives its exposure modes.
constexpr std::int32_t kManualExposure = V4L2_EXPOSURE_MANUAL;
constexpr std::int32_t kAutoExposure = V4L2_EXPOSURE_APERTURE_PRIORITY;

ControlInfo integer(std::uint32_t id, const char* name, std::int32_t min, std::int32_t max,
                    std::int32_t step, std::int32_t def) {
  ControlInfo c;
  c.id = id;
  c.controlClass = V4L2_CTRL_ID2CLASS(id);
  c.className = c.controlClass == V4L2_CTRL_CLASS_CAMERA ? "Camera Controls" : "User Controls";
  c.name = name;
  c.minimum = min;
  c.maximum = max;
  c.step = step;
  c.defaultValue = c.value = def;
  return c;
}

ControlInfo boolean(std::uint32_t id, const char* name, bool def) {
  ControlInfo c = integer(id, name, 0, 1, 1, def ? 1 : 0);
  c.type = ControlType::Boolean;
  return c;
}

ControlInfo menu(std::uint32_t id, const char* name, std::int32_t min, std::int32_t max,
                 std::int32_t def, std::vector<MenuItem> items) {
  ControlInfo c = integer(id, name, min, max, 1, def);
  c.type = ControlType::Menu;
  c.menu = std::move(items);
  return c;
}

// As a UVC webcam reports them: user controls first, then the camera class.
std::vector<ControlInfo> initialControls() {
  ControlInfo autoWhite = boolean(V4L2_CID_AUTO_WHITE_BALANCE, "White Balance, Automatic", true);
  autoWhite.flags.updatesOthers = true;
  ControlInfo autoExposure = menu(V4L2_CID_EXPOSURE_AUTO, "Auto Exposure", 0, 3, kAutoExposure,
                                  {{1, "Manual Mode", 0}, {3, "Aperture Priority Mode", 0}});
  autoExposure.flags.updatesOthers = true;
  return {
      integer(V4L2_CID_BRIGHTNESS, "Brightness", -64, 64, 1, 0),
      integer(V4L2_CID_CONTRAST, "Contrast", 0, 200, 1, 100),
      integer(V4L2_CID_SATURATION, "Saturation", 0, 200, 1, 100),
      autoWhite,
      menu(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency", 0, 2,
           V4L2_CID_POWER_LINE_FREQUENCY_50HZ,
           {{0, "Disabled", 0}, {1, "50 Hz", 0}, {2, "60 Hz", 0}}),
      integer(V4L2_CID_WHITE_BALANCE_TEMPERATURE, "White Balance Temperature", 2800, 6500, 10,
              kNeutralKelvin),
      autoExposure,
      integer(V4L2_CID_EXPOSURE_ABSOLUTE, "Exposure Time, Absolute", 3, 2047, 1, kNormalExposure),
  };
}

bool menuHas(const ControlInfo& c, std::int32_t value) {
  return std::any_of(c.menu.begin(), c.menu.end(), [&](const MenuItem& item) {
    return item.index == static_cast<std::uint32_t>(value);
  });
}

std::vector<std::uint8_t> encodedFrame(std::uint32_t fourcc, const std::vector<std::uint8_t>& rgb,
                                       int width, int height) {
  if (fourcc == V4L2_PIX_FMT_YUYV) return rgbToYuyv(rgb, width, height);
  const imaging::PixelRows rows{width, height, imaging::ChannelOrder::Rgb, rgb.data(), width * 3};
  const auto jpeg = imaging::encodeJpegRows(rows, kJpegQuality, imaging::HuffmanTables::Standard);
  if (!jpeg) return {};
  const auto bytes = jpeg->span();
  return {bytes.begin(), bytes.end()};
}

void fillBlock(std::vector<std::uint8_t>& rgb, int width, const QRect& block, std::uint8_t grey) {
  for (int y = block.top(); y <= block.bottom(); ++y) {
    auto* row = &rgb[(static_cast<std::size_t>(y) * width + block.left()) * 3];
    std::memset(row, grey, static_cast<std::size_t>(block.width()) * 3);
  }
}

}  // namespace

std::vector<std::uint8_t> syntheticFrameBytes(std::uint32_t fourcc, std::uint64_t frameNumber,
                                              PictureControls controls, int width, int height) {
  return encodedFrame(fourcc, patternRgb(frameNumber, controls, width, height), width, height);
}

std::vector<std::uint8_t> filledRgb(const QImage& picture, int width, int height) {
  QImage frame(width, height, QImage::Format_RGB888);
  frame.fill(Qt::white);
  {
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize scaled = picture.size().scaled(width, height, Qt::KeepAspectRatioByExpanding);
    painter.drawImage(
        QRect(QPoint((width - scaled.width()) / 2, (height - scaled.height()) / 2), scaled),
        picture);
  }
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  const auto rowBytes = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y)
    std::memcpy(&rgb[y * rowBytes], frame.constScanLine(y), rowBytes);
  return rgb;
}

int frameCounterBlock(int width) {
  return std::max(2, width / 160);
}

QRect frameCounterArea(int width, int height) {
  const int block = frameCounterBlock(width);
  const QSize strip((kCounterBits + 2) * block, 3 * block);
  return QRect(QPoint(width - block - strip.width(), height - block - strip.height()), strip);
}

void drawFrameCounter(std::vector<std::uint8_t>& rgb, int width, int height,
                      std::uint64_t frameNumber) {
  constexpr std::uint8_t kDark = 16, kLight = 235;
  const int block = frameCounterBlock(width);
  const QRect strip = frameCounterArea(width, height) & QRect(0, 0, width, height);
  if (strip.isEmpty()) return;
  fillBlock(rgb, width, strip, kDark);
  for (int i = 0; i < kCounterBits; ++i) {
    const int bit = kCounterBits - 1 - i;
    const QRect square(strip.left() + block * (1 + i), strip.top() + block, block, block);
    if ((frameNumber >> bit) & 1) fillBlock(rgb, width, square & strip, kLight);
  }
}

std::vector<std::uint8_t> stillFrameBytes(std::uint32_t fourcc, std::uint64_t frameNumber,
                                          PictureControls controls,
                                          std::vector<std::uint8_t> stillRgb, int width,
                                          int height) {
  drawFrameCounter(stillRgb, width, height, frameNumber);
  applyPictureControls(stillRgb, width, height, controls, frameNumber);
  return encodedFrame(fourcc, stillRgb, width, height);
}

SyntheticCamera::SyntheticCamera(std::shared_ptr<const std::atomic<bool>> plugged, QImage still)
    : still_(std::move(still)), plugged_(std::move(plugged)), controls_(initialControls()) {}

std::vector<PixelFormatInfo> SyntheticCamera::pixelFormats() const {
  std::vector<FrameSizeRange> sizes;
  for (auto [w, h] : kSizes) sizes.push_back(FrameSizeRange::discrete(w, h));
  return {{V4L2_PIX_FMT_MJPEG, "Motion-JPEG", sizes}, {V4L2_PIX_FMT_YUYV, "YUYV 4:2:2", sizes}};
}

std::vector<FormatOption> SyntheticCamera::formatOptions() const {
  return concreteOptions(pixelFormats());
}

FrameIntervals SyntheticCamera::frameIntervals(std::uint32_t fourcc, int width, int height) const {
  for (const auto& format : pixelFormats())
    for (const auto& size : format.sizes)
      if (format.fourcc == fourcc && size.contains(width, height))
        return {FrameIntervals::Kind::Discrete, {{1, 30}, {1, 15}}, {}, {}, {}};
  return {};
}

base::Expected<FrameFormat, base::SystemError> SyntheticCamera::setFormat(
    const FormatOption& option) {
  if (streaming_) return base::SystemError{EBUSY, "the synthetic camera is streaming"};
  FrameFormat f;
  // Like a driver, answer an unknown request with the nearest thing we do.
  f.fourcc = option.fourcc == V4L2_PIX_FMT_YUYV ? V4L2_PIX_FMT_YUYV : V4L2_PIX_FMT_MJPEG;
  f.width = kPatternWidth;
  f.height = kPatternHeight;
  for (auto [w, h] : kSizes)
    if (w == option.width && h == option.height) f.width = w, f.height = h;
  f.bytesPerLine = f.fourcc == V4L2_PIX_FMT_YUYV ? static_cast<std::uint32_t>(f.width * 2) : 0;
  f.sizeImage = static_cast<std::uint32_t>(f.width * f.height * 2);
  const bool slow =
      option.intervalNumerator * 15 == option.intervalDenominator && option.intervalNumerator != 0;
  f.intervalNumerator = 1;
  f.intervalDenominator = slow ? 15 : 30;
  format_ = f;
  // Scaled once per format: every frame then only copies it.
  if (!still_.isNull()) stillRgb_ = filledRgb(still_, f.width, f.height);
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
  const auto interval = std::chrono::microseconds(1'000'000LL * format_.intervalNumerator /
                                                  format_.intervalDenominator);
  const auto now = Clock::now();
  auto due = firstDue_ + interval * static_cast<long>(frameNumber_);
  if (now - due > 2 * interval) {  // fell behind: do not race to catch up
    firstDue_ = now - interval * static_cast<long>(frameNumber_);
    due = now;
  }
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
      std::max<Clock::duration>(due - now, Clock::duration::zero()));
  pollfd wake{wakeFd, POLLIN, 0};
  const int ready = ::poll(&wake, 1, static_cast<int>(wait.count()));
  if (ready > 0) return {NextKind::Woken, {}};
  if (ready < 0 || Clock::now() < due) return {NextKind::Idle, {}};
  const auto bytes = still_.isNull()
                         ? syntheticFrameBytes(format_.fourcc, frameNumber_, pictureControls(),
                                               format_.width, format_.height)
                         : stillFrameBytes(format_.fourcc, frameNumber_, pictureControls(),
                                           stillRgb_, format_.width, format_.height);
  sink(RawFrame{bytes, format_, static_cast<std::uint32_t>(frameNumber_)});
  ++frameNumber_;
  return {NextKind::Frame, {}};
}

std::int32_t SyntheticCamera::valueOf(std::uint32_t id) const {
  for (const auto& c : controls_)
    if (c.id == id) return c.value;
  return 0;
}

PictureControls SyntheticCamera::pictureControls() const {
  std::lock_guard lock(controlsMutex_);
  PictureControls p;
  p.brightness = valueOf(V4L2_CID_BRIGHTNESS);
  p.contrast = valueOf(V4L2_CID_CONTRAST);
  p.saturation = valueOf(V4L2_CID_SATURATION);
  if (valueOf(V4L2_CID_EXPOSURE_AUTO) == kManualExposure)
    p.exposure = valueOf(V4L2_CID_EXPOSURE_ABSOLUTE);
  if (valueOf(V4L2_CID_AUTO_WHITE_BALANCE) == 0)
    p.temperature = valueOf(V4L2_CID_WHITE_BALANCE_TEMPERATURE);
  p.flicker = valueOf(V4L2_CID_POWER_LINE_FREQUENCY) == V4L2_CID_POWER_LINE_FREQUENCY_DISABLED;
  return p;
}

std::vector<ControlInfo> SyntheticCamera::controls() {
  std::lock_guard lock(controlsMutex_);
  auto list = controls_;
  for (auto& c : list) {
    if (c.id == V4L2_CID_EXPOSURE_ABSOLUTE)
      c.flags.inactive = valueOf(V4L2_CID_EXPOSURE_AUTO) != kManualExposure;
    if (c.id == V4L2_CID_WHITE_BALANCE_TEMPERATURE)
      c.flags.inactive = valueOf(V4L2_CID_AUTO_WHITE_BALANCE) != 0;
  }
  return list;
}

// Values are clamped to the range and onto its step, as the V4L2 control
// framework does; a menu index the menu does not have is refused.
base::Expected<void, base::SystemError> SyntheticCamera::setControl(std::uint32_t id,
                                                                    std::int32_t value) {
  std::lock_guard lock(controlsMutex_);
  for (auto& c : controls_) {
    if (c.id != id) continue;
    if (c.type == ControlType::Menu && !menuHas(c, value))
      return base::SystemError{EINVAL, "no such menu item"};
    const std::int32_t clamped = std::clamp(value, c.minimum, c.maximum);
    c.value = std::min(c.maximum, c.minimum + (clamped - c.minimum + c.step / 2) / c.step * c.step);
    return {};
  }
  return base::SystemError{EINVAL, "no such control"};
}

SyntheticProvider::SyntheticProvider(std::vector<std::string> names, std::vector<QImage> stills) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    cameras_.push_back({std::move(names[i]), i < stills.size() ? stills[i] : QImage(),
                        std::make_shared<std::atomic<bool>>(true)});
  }
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
  const Camera& camera = *plugged[static_cast<std::size_t>(number)];
  return std::unique_ptr<CaptureDevice>(
      std::make_unique<SyntheticCamera>(camera.plugged, camera.still));
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

std::shared_ptr<SyntheticProvider> makeSyntheticProvider(
    const std::vector<FakeCameraEntry>& cameras) {
  std::vector<std::string> names;
  std::vector<QImage> stills;
  for (const auto& camera : cameras) {
    names.push_back(camera.name);
    QImage still;
    if (!camera.picture.empty()) {
      QImageReader reader(QString::fromStdString(camera.picture));
      reader.setAutoTransform(true);
      still = reader.read();
      // Said whatever the logging rules: the user asked for this picture.
      if (still.isNull())
        qWarning(
            "TANDEO_FAKE_CAMERAS: the picture of \"%s\" cannot be read (%s: %s); it shows "
            "the colour pattern instead",
            camera.name.c_str(), camera.picture.c_str(), qPrintable(reader.errorString()));
    }
    stills.push_back(std::move(still));
  }
  return std::make_shared<SyntheticProvider>(std::move(names), std::move(stills));
}

}  // namespace video
