#include "platform/video/capturewidget.h"

#include <QPainter>
#include <algorithm>

#include "platform/video/areascaler.h"
#include "platform/video/capturestream.h"
#include "platform/video/deviceprovider.h"
#include "platform/video/formatchoice.h"
#include "platform/video/privateclipboard.h"

namespace video {
namespace {

constexpr int kDefaultPreviewRateMs = 66;

}  // namespace

CaptureWidget::CaptureWidget(std::shared_ptr<DeviceProvider> provider, QWidget* parent)
    : QWidget(parent), provider_(std::move(provider)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  previewTimer_.setInterval(kDefaultPreviewRateMs);
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
  const auto option = chooseDefaultFormat((*device)->formatOptions(), formatWindowSize());
  if (!option) return false;
  if (auto format = (*device)->setFormat(*option); !format) return false;
  const std::uint64_t generation = ++generation_;
  auto stream =
      CaptureStream::start(std::move(*device), [this, generation](const base::SystemError&) {
        QMetaObject::invokeMethod(
            this, [this, generation] { streamEnded(generation); }, Qt::QueuedConnection);
      });
  if (!stream) {
    qCDebug(lcVideo) << "driver" << number << "did not start:" << stream.error().message().c_str();
    return false;
  }
  stream_ = std::move(*stream);
  driver_ = number;
  seen_ = 0;
  updateTargetSize();
  updateTimer();
  return true;
}

void CaptureWidget::disconnectDriver() {
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
