#include "platform/video/capturewidget.h"

#include <QPainter>
#include <algorithm>
#include <cerrno>

#include "platform/video/areascaler.h"
#include "platform/video/capturestream.h"
#include "platform/video/deviceprovider.h"
#include "platform/video/formatchoice.h"
#include "platform/video/formatdialog.h"
#include "platform/video/privateclipboard.h"
#include "platform/video/sourcedialog.h"

namespace video {
namespace {

constexpr int kDefaultPreviewRateMs = 66;

bool offers(const std::vector<PixelFormatInfo>& formats, const FormatOption& option) {
  for (const auto& format : formats) {
    if (format.fourcc != option.fourcc) continue;
    for (const auto& size : format.sizes)
      if (size.contains(option.width, option.height)) return true;
  }
  return false;
}

}  // namespace

CaptureWidget::CaptureWidget(std::shared_ptr<DeviceProvider> provider, QWidget* parent)
    : QWidget(parent), provider_(std::move(provider)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  previewTimer_.setInterval(kDefaultPreviewRateMs);
  previewTimer_.setTimerType(Qt::PreciseTimer);
  connect(&previewTimer_, &QTimer::timeout, this, &CaptureWidget::pullFrame);
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

bool CaptureWidget::connectDriver(int number) {
  // The camera window asks again on every tick; a live stream just says yes.
  if (stream_ && number == driver_ && stream_->isRunning()) return true;
  disconnectDriver();
  if (!provider_) return false;
  auto device = provider_->open(number);
  if (!device) {
    qCDebug(lcVideo) << "driver" << number << "did not open:" << device.error().message().c_str();
    return false;
  }
  std::optional<FormatOption> option;
  if (chosenFormat_ && offers((*device)->pixelFormats(), *chosenFormat_))
    option = chosenFormat_;
  else
    option = chooseDefaultFormat((*device)->formatOptions(), formatWindowSize());
  if (!option) return false;
  return startStream(std::move(*device), *option, number);
}

bool CaptureWidget::startStream(std::unique_ptr<CaptureDevice> device, const FormatOption& option,
                                int number) {
  const auto format = device->setFormat(option);
  if (!format) {
    qCDebug(lcVideo) << "format" << option.toText().c_str()
                     << "refused:" << format.error().message().c_str();
    return false;
  }
  const std::uint64_t generation = ++generation_;
  auto stream =
      CaptureStream::start(std::move(device), [this, generation](const base::SystemError&) {
        QMetaObject::invokeMethod(
            this, [this, generation] { streamEnded(generation); }, Qt::QueuedConnection);
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
  // A dialog open over a camera that goes away has nothing left to change.
  if (openDialog_) openDialog_->reject();
  if (!stream_) return;
  stream_.reset();
  driver_ = -1;
  shown_ = QImage();
  updateTimer();
  update();
}

void CaptureWidget::streamEnded(std::uint64_t generation) {
  if (generation != generation_ || !stream_) return;
  qCDebug(lcVideo) << "preview of driver" << driver_ << "ended";
  disconnectDriver();
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
