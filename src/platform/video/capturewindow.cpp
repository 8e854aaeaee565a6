#include "platform/video/capturewindow.h"

#include <QPainter>
#include <algorithm>

#include "platform/video/areascaler.h"
#include "platform/video/capturestream.h"
#include "platform/video/formatchoice.h"
#include "platform/video/privateclipboard.h"
#include "platform/video/videolog.h"

namespace video {
namespace {

constexpr int kDefaultPreviewRateMs = 66;

}  // namespace

CaptureWindow::CaptureWindow(std::shared_ptr<DeviceProvider> provider, QWidget* parent)
    : QWidget(parent), provider_(std::move(provider)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  previewTimer_.setInterval(kDefaultPreviewRateMs);
  connect(&previewTimer_, &QTimer::timeout, this, &CaptureWindow::pullFrame);
}

CaptureWindow::~CaptureWindow() {
  stream_.reset();
}

LRESULT CaptureWindow::handleMessage(std::uint32_t message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_CAP_DRIVER_CONNECT:
      return connectDriver(wParam);
    case WM_CAP_DRIVER_DISCONNECT:
      return disconnectDriver();
    case WM_CAP_SET_SCALE:
      return setScale(wParam != 0);
    case WM_CAP_SET_PREVIEWRATE:
      return setPreviewRate(wParam);
    case WM_CAP_SET_PREVIEW:
      return setPreview(wParam != 0);
    case WM_CAP_GRAB_FRAME:
      return grabFrame();
    case WM_CAP_EDIT_COPY:
      return copyFrame();
    default:  // the format and source dialogs belong to the camera window
      return 0;
  }
}

// The window is sized to its host right after connecting, so the format is
// chosen for whichever of the two is larger.
QSize CaptureWindow::formatWindowSize() const {
  QSize size = this->size();
  if (parentWidget()) size = size.expandedTo(parentWidget()->contentsRect().size());
  return size;
}

LRESULT CaptureWindow::connectDriver(int number) {
  // The camera window asks again on every tick; a live stream just says yes.
  if (stream_ && number == driver_ && stream_->isRunning()) return 1;
  disconnectDriver();
  auto device = provider_->open(number);
  if (!device) {
    qCDebug(lcVideo) << "driver" << number << "did not open:" << device.error().context.c_str();
    return 0;
  }
  const auto option = chooseDefaultFormat((*device)->formatOptions(), formatWindowSize());
  if (!option) return 0;
  if (auto format = (*device)->setFormat(*option); !format) return 0;
  const std::uint64_t generation = ++generation_;
  auto stream = CaptureStream::start(std::move(*device), [this, generation](const Error&) {
    QMetaObject::invokeMethod(
        this, [this, generation] { streamEnded(generation); }, Qt::QueuedConnection);
  });
  if (!stream) {
    qCDebug(lcVideo) << "driver" << number << "did not start:" << stream.error().context.c_str();
    return 0;
  }
  stream_ = std::move(*stream);
  driver_ = number;
  seen_ = 0;
  updateTargetSize();
  updateTimer();
  return 1;
}

LRESULT CaptureWindow::disconnectDriver() {
  if (!stream_) return 0;
  stream_.reset();
  driver_ = -1;
  shown_ = QImage();
  updateTimer();
  update();
  return 1;
}

void CaptureWindow::streamEnded(std::uint64_t generation) {
  if (generation != generation_ || !stream_) return;
  qCDebug(lcVideo) << "preview of driver" << driver_ << "ended";
  disconnectDriver();
}

LRESULT CaptureWindow::setScale(bool on) {
  scale_ = on;
  updateTargetSize();
  update();
  return 1;
}

LRESULT CaptureWindow::setPreviewRate(int milliseconds) {
  previewTimer_.setInterval(std::clamp(milliseconds, 1, 60000));
  return 1;
}

LRESULT CaptureWindow::setPreview(bool on) {
  preview_ = on;
  updateTimer();
  if (on) pullFrame();
  return 1;
}

LRESULT CaptureWindow::grabFrame() {
  if (!stream_) return 0;
  // As on the original platform, grabbing a frame ends the live preview and
  // leaves the grabbed frame in the window.
  preview_ = false;
  updateTimer();
  QImage newest;
  if (stream_->frames().takeNewer(seen_, newest)) shown_ = std::move(newest);
  update();
  return shown_.isNull() ? 0 : 1;
}

LRESULT CaptureWindow::copyFrame() {
  if (shown_.isNull()) return 0;
  privateClipboard().setImage(shown_);
  return 1;
}

void CaptureWindow::pullFrame() {
  if (!stream_) return;
  stream_->windowPulled(std::chrono::milliseconds(previewTimer_.interval()));
  QImage newest;
  if (!stream_->frames().takeNewer(seen_, newest)) return;
  shown_ = std::move(newest);
  update();
}

void CaptureWindow::updateTimer() {
  if (preview_ && stream_)
    previewTimer_.start();
  else
    previewTimer_.stop();
}

void CaptureWindow::updateTargetSize() {
  if (stream_) stream_->setTargetSize(scale_ ? size() : QSize());
}

void CaptureWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  updateTargetSize();
}

void CaptureWindow::render(QPainter& painter) const {
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

void CaptureWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  render(painter);
}

QImage CaptureWindow::pixels() const {
  QImage image(size(), QImage::Format_RGB32);
  if (image.isNull()) return image;
  QPainter painter(&image);
  render(painter);
  return image;
}

}  // namespace video
