#include "platform/video/capturewidget.h"

#include <QLoggingCategory>
#include <QPainter>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>

#include "platform/video/areascaler.h"
#include "platform/video/capturestream.h"
#include "platform/video/deviceprovider.h"
#include "platform/video/formatchoice.h"
#include "platform/video/formatdialog.h"
#include "platform/video/privateclipboard.h"
#include "platform/video/sourcedialog.h"

// One line when the first camera frame is painted, stamped with the
// monotonic clock, so that a benchmark outside the process can time the
// start-up: QT_LOGGING_RULES="tandeo.startup.info=true". Silent by default.
Q_LOGGING_CATEGORY(lcStartup, "tandeo.startup", QtWarningMsg)

namespace video {
namespace {

constexpr int kDefaultPreviewRateMs = 66;
// How often a previewing window with no frame yet looks for one: the first
// frame after start-up or a reconnect shows as soon as the camera delivers
// it, not up to a whole preview period later. For a second at most: a camera
// that delivers nothing is not polled 200 times a second for ever.
constexpr int kFirstFramePollMs = 5;
constexpr int kFirstFramePolls = 200;
// How often a window asked to connect while its camera is away looks at the
// devices when nobody said they changed (a provider that cannot watch them).
constexpr qint64 kLookAgainMs = 1000;

// The steady clock is the system's monotonic one, which another process reads too.
void reportFirstFramePainted() {
  qCInfo(
      lcStartup, "first camera frame painted at monotonic %lld ns",
      static_cast<long long>(
          std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count()));
}

bool offers(const std::vector<PixelFormatInfo>& formats, const FormatOption& option) {
  for (const auto& format : formats) {
    if (format.fourcc != option.fourcc) continue;
    for (const auto& size : format.sizes)
      if (size.contains(option.width, option.height)) return true;
  }
  return false;
}

}  // namespace

CaptureWidget::CaptureWidget(std::shared_ptr<DeviceProvider> provider, QWidget* parent,
                             std::shared_ptr<CameraProfiles> profiles)
    : QWidget(parent),
      provider_(std::move(provider)),
      profiles_(std::move(profiles)),
      previewRateMs_(kDefaultPreviewRateMs) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  previewTimer_.setInterval(pullInterval());
  previewTimer_.setTimerType(Qt::PreciseTimer);
  connect(&previewTimer_, &QTimer::timeout, this, &CaptureWidget::pullFrame);
  connect(this, &CaptureWidget::cameraSettingsChanged, this, &CaptureWidget::saveProfile);
}

CaptureWidget::~CaptureWidget() {
  stream_.reset();
}

// The window is sized to its host right after connecting, so the format is
// chosen for whichever of the two is larger.
QSize CaptureWidget::formatWindowSize() const {
  QSize size = this->size();
  if (parentWidget()) size = size.expandedTo(parentWidget()->contentsRect().size());
  return size;
}

std::optional<FormatOption> CaptureWidget::formatFor(const CaptureDevice& device,
                                                     const std::optional<CameraProfile>& profile) {
  const auto formats = device.pixelFormats();
  if (profile && profile->format && offers(formats, *profile->format)) return profile->format;
  if (chosenFormat_ && offers(formats, *chosenFormat_)) return chosenFormat_;
  return chooseDefaultFormat(device.formatOptions(), formatWindowSize());
}

bool CaptureWidget::connectDriver(int number) {
  // The camera window asks again on every tick; a live stream just says yes.
  if (stream_ && number == driver_ && stream_->isRunning()) return true;
  // While its camera is away, a window asked on every tick looks at the
  // devices again only after they changed or a second went by, instead of
  // opening nodes a hundred times a second for an answer that cannot differ.
  if (waiting_ && !lookAgain_ && lookedAt_.isValid() && !lookedAt_.hasExpired(kLookAgainMs))
    return false;
  const bool wasWaiting = waiting_;
  std::string lost = identity_;
  disconnectDriver();
  if (openAndStart(number)) return true;
  if (wasWaiting) {
    waiting_ = true;
    identity_ = std::move(lost);
    lookAgain_ = false;
    lookedAt_.start();
  }
  return false;
}

bool CaptureWidget::openAndStart(int number) {
  if (!provider_) return false;
  auto opened = provider_->openDriver(number);
  if (!opened) {
    qCDebug(lcVideo) << "driver" << number << "did not open:" << opened.error().message().c_str();
    return false;
  }
  return startOpened(std::move(*opened), number);
}

// Opens the camera the way its profile says: the stored format while the
// device still offers it (else this window's own choice, else the default),
// then the stored control values.
bool CaptureWidget::startOpened(OpenedDriver opened, int number) {
  std::optional<CameraProfile> profile;
  if (profiles_ && !opened.info.identity.empty()) profile = profiles_->load(opened.info.identity);
  const auto option = formatFor(*opened.device, profile);
  if (!option) return false;
  const std::vector<std::pair<std::uint32_t, std::int32_t>> none;
  if (!startStream(std::move(opened.device), *option, number, profile ? profile->controls : none))
    return false;
  identity_ = std::move(opened.info.identity);
  waiting_ = false;
  lookAgain_ = false;
  changedWhileStreaming_ = false;
  if (auto* notifier = provider_->notifier())
    connect(notifier, &DeviceNotifier::devicesChanged, this, &CaptureWidget::devicesChanged,
            Qt::UniqueConnection);
  return true;
}

bool CaptureWidget::startStream(
    std::unique_ptr<CaptureDevice> device, const FormatOption& option, int number,
    const std::vector<std::pair<std::uint32_t, std::int32_t>>& controls) {
  const auto format = device->setFormat(option);
  if (!format) {
    qCDebug(lcVideo) << "format" << option.toText().c_str()
                     << "refused:" << format.error().message().c_str();
    return false;
  }
  // After the format: some drivers reset their controls when it changes.
  for (const auto& [id, value] : controls)
    if (auto set = device->setControl(id, value); !set)
      qCDebug(lcVideo) << "control" << Qt::hex << id << "refused:" << set.error().message().c_str();
  const std::uint64_t generation = ++generation_;
  auto stream = CaptureStream::start(
      std::move(device),
      [this, generation](const base::SystemError&) {
        QMetaObject::invokeMethod(
            this, [this, generation] { streamEnded(generation); }, Qt::QueuedConnection);
      },
      // Shown the moment it is decoded, not at the window's next look.
      [this, generation] {
        QMetaObject::invokeMethod(
            this, [this, generation] { firstFrameArrived(generation); }, Qt::QueuedConnection);
      });
  if (!stream) {
    qCDebug(lcVideo) << "driver" << number << "did not start:" << stream.error().message().c_str();
    return false;
  }
  stream_ = std::move(*stream);
  driver_ = number;
  current_ = {format->fourcc, format->width, format->height, format->intervalNumerator,
              format->intervalDenominator};
  seen_ = 0;
  updateTargetSize();
  updateTimer();
  return true;
}

std::optional<FormatOption> CaptureWidget::currentFormat() const {
  if (!stream_) return std::nullopt;
  return current_;
}

CaptureDevice* CaptureWidget::device() const {
  return stream_ ? &stream_->device() : nullptr;
}

// The frame shown stays in the window until the first one at the new format
// replaces it, so the switch does not flash black.
bool CaptureWidget::applyFormat(const FormatOption& option) {
  if (!stream_) return false;
  const int number = driver_;
  auto device = CaptureStream::finish(std::move(stream_));
  driver_ = -1;
  if (device && startStream(std::move(device), option, number)) return true;
  qCDebug(lcVideo) << "driver" << number << "refused" << option.toText().c_str();
  const QImage frame = shown_;
  connectDriver(number);
  if (stream_) shown_ = frame;
  updateTimer();
  update();
  return false;
}

std::unique_ptr<FormatDialog> CaptureWidget::makeFormatDialog(QWidget* parent) {
  if (!stream_) return nullptr;
  auto intervals = [this](std::uint32_t fourcc, int width, int height) {
    const CaptureDevice* camera = device();
    return camera ? camera->frameIntervals(fourcc, width, height) : FrameIntervals{};
  };
  return std::make_unique<FormatDialog>(stream_->device().pixelFormats(), std::move(intervals),
                                        current_, parent);
}

std::unique_ptr<SourceDialog> CaptureWidget::makeSourceDialog(QWidget* parent) {
  if (!stream_) return nullptr;
  ControlAccess access;
  access.read = [this] {
    CaptureDevice* camera = device();
    return camera ? camera->controls() : std::vector<ControlInfo>{};
  };
  access.write = [this](std::uint32_t id,
                        std::int32_t value) -> base::Expected<void, base::SystemError> {
    CaptureDevice* camera = device();
    if (!camera) return base::SystemError{ENODEV, "the camera is no longer connected"};
    return camera->setControl(id, value);
  };
  auto dialog = std::make_unique<SourceDialog>(std::move(access), parent);
  connect(dialog.get(), &SourceDialog::controlChanged, this, &CaptureWidget::cameraSettingsChanged);
  return dialog;
}

bool CaptureWidget::showFormatDialog() {
  auto dialog = makeFormatDialog(window());
  if (!dialog) return false;
  openDialog_ = dialog.get();
  const bool accepted = dialog->exec() == QDialog::Accepted;
  const FormatOption choice = dialog->chosen();
  dialog.reset();
  if (!accepted || !stream_ || choice == current_) return true;
  if (applyFormat(choice)) {
    chosenFormat_ = choice;
    emit cameraSettingsChanged();
  }
  return true;
}

bool CaptureWidget::showSourceDialog() {
  auto dialog = makeSourceDialog(window());
  if (!dialog) return false;
  openDialog_ = dialog.get();
  dialog->exec();
  return true;
}

void CaptureWidget::disconnectDriver() {
  waiting_ = false;
  identity_.clear();
  if (!stream_) return;
  letGo();
}

void CaptureWidget::letGo() {
  // A dialog open over a camera that goes away has nothing left to change.
  if (openDialog_) openDialog_->reject();
  stream_.reset();
  driver_ = -1;
  shown_ = QImage();
  updateTimer();
  update();
}

void CaptureWidget::streamEnded(std::uint64_t generation) {
  if (generation != generation_ || !stream_) return;
  qCDebug(lcVideo) << "preview of driver" << driver_ << "ended";
  letGo();
  // Waited for until the device list changes; never retried in a loop, so a
  // camera that keeps failing costs nothing while it is away.
  waiting_ = !identity_.empty();
  lookAgain_ = false;
  lookedAt_.invalidate();
  if (waiting_ && std::exchange(changedWhileStreaming_, false)) lookAgain_ = !reconnect();
}

void CaptureWidget::devicesChanged() {
  if (stream_ && stream_->isRunning()) {
    changedWhileStreaming_ = true;
    return;
  }
  if (stream_) {
    // The worker has ended and its notice is on its way: take it now, and
    // this change with it.
    changedWhileStreaming_ = true;
    streamEnded(generation_);
    return;
  }
  if (waiting_) lookAgain_ = !reconnect();
}

bool CaptureWidget::reconnect() {
  lookedAt_.start();
  const auto drivers = provider_->drivers();
  for (std::size_t number = 0; number < drivers.size(); ++number) {
    if (drivers[number].identity != identity_) continue;
    auto opened = provider_->openDriver(static_cast<int>(number));
    // The list may have moved on between the two looks; wait for its next change.
    if (!opened || opened->info.identity != identity_) return false;
    if (!startOpened(std::move(*opened), static_cast<int>(number))) return false;
    qCDebug(lcVideo) << "camera" << identity_.c_str() << "is back as driver" << number;
    if (preview_) pullFrame();
    return true;
  }
  return false;
}

void CaptureWidget::saveProfile() {
  if (!profiles_ || !stream_ || identity_.empty()) return;
  CameraProfile profile;
  profile.format = current_;
  // What the user can set, as it stands; buttons hold no value and
  // read-only controls (a gain the camera decides) are not the user's.
  for (const auto& control : stream_->device().controls()) {
    if (control.type == ControlType::Button || control.flags.readOnly || control.flags.disabled)
      continue;
    profile.controls.emplace_back(control.id, control.value);
  }
  profiles_->save(identity_, profile);
}

void CaptureWidget::setScale(bool on) {
  scale_ = on;
  updateTargetSize();
  update();
}

void CaptureWidget::setPreviewRate(int milliseconds) {
  previewRateMs_ = std::clamp(milliseconds, 1, 60000);
  previewTimer_.setInterval(pullInterval());
}

void CaptureWidget::setPreview(bool on) {
  preview_ = on;
  updateTimer();
  if (on) pullFrame();
}

bool CaptureWidget::grabFrame() {
  if (!stream_) return false;
  // As on the original platform, grabbing a frame ends the live preview and
  // leaves the grabbed frame in the window.
  preview_ = false;
  updateTimer();
  QImage newest;
  if (stream_->frames().takeNewer(seen_, newest)) shown_ = std::move(newest);
  update();
  return !shown_.isNull();
}

bool CaptureWidget::copyFrame() {
  if (shown_.isNull()) return false;
  privateClipboard().setImage(shown_);
  return true;
}

void CaptureWidget::pullFrame() {
  if (!stream_) return;
  stream_->windowPulled(std::chrono::milliseconds(previewTimer_.interval()));
  if (!takeNewestFrame()) {
    if (firstFramePolls_ > 0 && --firstFramePolls_ == 0) previewTimer_.setInterval(pullInterval());
    return;
  }
  update();
}

void CaptureWidget::firstFrameArrived(std::uint64_t generation) {
  if (generation != generation_ || !preview_ || !shown_.isNull()) return;
  pullFrame();
}

bool CaptureWidget::takeNewestFrame() {
  QImage newest;
  if (!stream_ || !stream_->frames().takeNewer(seen_, newest)) return false;
  const bool first = shown_.isNull();
  shown_ = std::move(newest);
  if (first) previewTimer_.setInterval(pullInterval());
  return true;
}

void CaptureWidget::updateTimer() {
  if (preview_ && stream_) {
    if (shown_.isNull()) firstFramePolls_ = kFirstFramePolls;
    previewTimer_.start(pullInterval());
  } else {
    previewTimer_.stop();
  }
}

int CaptureWidget::pullInterval() const {
  if (shown_.isNull() && firstFramePolls_ > 0) return std::min(kFirstFramePollMs, previewRateMs_);
  return previewRateMs_;
}

void CaptureWidget::updateTargetSize() {
  if (stream_) stream_->setTargetSize(scale_ ? size() : QSize());
}

void CaptureWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  updateTargetSize();
}

void CaptureWidget::render(QPainter& painter) const {
  painter.fillRect(QRect(QPoint(0, 0), size()), Qt::black);
  if (shown_.isNull()) return;
  if (!scale_ || shown_.size() == size()) {
    painter.drawImage(0, 0, shown_);
    return;
  }
  // A frame decoded for an earlier size: scale it here until the worker
  // catches up, with the same filter it uses.
  if (scaledCache_.size() != size() || scaledFrom_ != shown_.cacheKey()) {
    scaledCache_ = scaleSmoothly(shown_, size());
    scaledFrom_ = shown_.cacheKey();
  }
  painter.drawImage(0, 0, scaledCache_);
}

void CaptureWidget::paintEvent(QPaintEvent*) {
  // A frame the camera delivered before the window's first paint is in that
  // paint, instead of black until the next look and a second paint.
  if (shown_.isNull() && preview_) takeNewestFrame();
  QPainter painter(this);
  render(painter);
  if (!shown_.isNull() && !std::exchange(framePainted_, true)) reportFirstFramePainted();
}

QImage CaptureWidget::pixels() const {
  QImage image(size(), QImage::Format_RGB32);
  if (image.isNull()) return image;
  QPainter painter(&image);
  render(painter);
  return image;
}

}  // namespace video
