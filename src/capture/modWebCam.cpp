#include "capture/modWebCam.h"

#include <QListWidget>
#include <QWidget>
#include <algorithm>

#include "platform/video/capturewidget.h"

namespace {

// The driver layer hands a name out in a buffer of 100 bytes: at most 99 of
// them, never half a character.
constexpr std::size_t kNameBufferSize = 100;
constexpr QRect kCreatedGeometry(0, 0, 320, 240);
constexpr int kPreviewRateMs = 66;

QString listedName(const std::string& name) {
  std::size_t length = std::min(name.size(), kNameBufferSize - 1);
  if (length < name.size())
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(length)).trimmed();
}

CaptureWindowFactory captureWidgets(std::shared_ptr<video::DeviceProvider> cameras) {
  return [cameras = std::move(cameras)](QWidget& host, const QString& name, const QRect& geometry) {
    auto window = std::make_unique<video::CaptureWidget>(cameras, &host);
    window->setWindowTitle(name);
    window->setGeometry(geometry);
    window->show();
    return std::unique_ptr<video::CaptureWindow>(std::move(window));
  };
}

}  // namespace

modWebCam::modWebCam(std::shared_ptr<video::DeviceProvider> cameras,
                     CaptureWindowFactory makeWindow)
    : cameras_(std::move(cameras)),
      makeWindow_(makeWindow ? std::move(makeWindow) : captureWidgets(cameras_)) {}

modWebCam::~modWebCam() {
  closeCaptureWindow();
}

void modWebCam::listCaptureDrivers(QListWidget& list) {
  list.clear();
  if (!cameras_) return;
  const auto drivers = cameras_->drivers();
  const auto count = std::min<std::size_t>(drivers.size(), video::kMaxDrivers);
  for (std::size_t number = 0; number < count; ++number)
    list.addItem(listedName(drivers[number].name));
}

void modWebCam::openCaptureWindow(std::int32_t driverNumber, QWidget& host) {
  captureDriverIndex_ = driverNumber;
  // Every open follows a close; should one not, the old window goes first,
  // so that it cannot hold on to the driver.
  closeCaptureWindow();
  window_ = makeWindow_(host, QString::number(captureDriverIndex_), kCreatedGeometry);
  if (!window_) return;
  if (!window_->connectDriver(captureDriverIndex_)) {
    window_.reset();
    return;
  }
  window_->setScale(true);
  window_->setPreviewRate(kPreviewRateMs);
  window_->setPreview(true);
  window_->resizeTo(host.contentsRect().size());
}

void modWebCam::closeCaptureWindow() {
  if (!window_) return;
  window_->disconnectDriver();
  window_.reset();
}
