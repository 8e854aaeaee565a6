#include "platform/video/capturewidget.h"

#include <QPainter>
#include <algorithm>
#include <utility>

#include "platform/video/areascaler.h"
#include "platform/video/capturestream.h"
#include "platform/video/deviceprovider.h"
#include "platform/video/formatchoice.h"
#include "platform/video/privateclipboard.h"

namespace video {
namespace {

constexpr int kDefaultPreviewRateMs = 66;
// How often a window asked to connect while its camera is away looks at the
// devices when nobody said they changed (a provider that cannot watch them).
constexpr qint64 kLookAgainMs = 1000;

}  // namespace

CaptureWidget::CaptureWidget(std::shared_ptr<DeviceProvider> provider, QWidget* parent,
                             std::shared_ptr<CameraProfiles> profiles)
    : QWidget(parent), provider_(std::move(provider)), profiles_(std::move(profiles)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  previewTimer_.setInterval(kDefaultPreviewRateMs);
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
  const auto options = device.formatOptions();
  if (profile && profile->format &&
      std::find(options.begin(), options.end(), *profile->format) != options.end())
    return profile->format;
  return chooseDefaultFormat(options, formatWindowSize());
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
  if (!startStream(std::move(*opened), number)) return false;
  if (auto* notifier = provider_->notifier())
    connect(notifier, &DeviceNotifier::devicesChanged, this, &CaptureWidget::devicesChanged,
            Qt::UniqueConnection);
  return true;
}

bool CaptureWidget::startStream(OpenedDriver opened, int number) {
  CaptureDevice& device = *opened.device;
  std::optional<CameraProfile> profile;
  if (profiles_ && !opened.info.identity.empty()) profile = profiles_->load(opened.info.identity);
  const auto option = formatFor(device, profile);
  if (!option) return false;
  const auto format = device.setFormat(*option);
  if (!format) return false;
  // After the format: some drivers reset their controls when it changes.
  if (profile) {
    for (const auto& [id, value] : profile->controls)
      if (auto set = device.setControl(id, value); !set)
        qCDebug(lcVideo) << "control" << Qt::hex << id
                         << "refused:" << set.error().message().c_str();
  }
  const std::uint64_t generation = ++generation_;
  auto stream =
      CaptureStream::start(std::move(opened.device), [this, generation](const base::SystemError&) {
        QMetaObject::invokeMethod(
            this, [this, generation] { streamEnded(generation); }, Qt::QueuedConnection);
      });
  if (!stream) {
    qCDebug(lcVideo) << "driver" << number << "did not start:" << stream.error().message().c_str();
    return false;
  }
  stream_ = std::move(*stream);
  driver_ = number;
  identity_ = std::move(opened.info.identity);
  format_ = {format->fourcc, format->width, format->height};
  waiting_ = false;
  lookAgain_ = false;
  changedWhileStreaming_ = false;
  seen_ = 0;
  updateTargetSize();
  updateTimer();
  return true;
}

void CaptureWidget::disconnectDriver() {
  waiting_ = false;
  identity_.clear();
  if (!stream_) return;
  letGo();
}

void CaptureWidget::letGo() {
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
    if (!startStream(std::move(*opened), static_cast<int>(number))) return false;
    qCDebug(lcVideo) << "camera" << identity_.c_str() << "is back as driver" << number;
    if (preview_) pullFrame();
    return true;
  }
  return false;
}

void CaptureWidget::saveProfile() {
  if (!profiles_ || !stream_ || identity_.empty()) return;
  CameraProfile profile;
  profile.format = format_;
  for (const auto& control : stream_->device().controls())
    profile.controls.emplace_back(control.id, control.value);
  profiles_->save(identity_, profile);
}

void CaptureWidget::setScale(bool on) {
  scale_ = on;
  updateTargetSize();
  update();
}

void CaptureWidget::setPreviewRate(int milliseconds) {
  previewTimer_.setInterval(std::clamp(milliseconds, 1, 60000));
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
  QImage newest;
  if (!stream_->frames().takeNewer(seen_, newest)) return;
  shown_ = std::move(newest);
  update();
}

void CaptureWidget::updateTimer() {
  if (preview_ && stream_)
    previewTimer_.start();
  else
    previewTimer_.stop();
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
  QPainter painter(this);
  render(painter);
}

QImage CaptureWidget::pixels() const {
  QImage image(size(), QImage::Format_RGB32);
  if (image.isNull()) return image;
  QPainter painter(&image);
  render(painter);
  return image;
}

}  // namespace video
