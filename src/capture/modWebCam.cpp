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

}  // namespace

CaptureWindowFactory captureWidgets(std::shared_ptr<video::DeviceProvider> cameras,
                                    std::shared_ptr<video::CameraProfiles> profiles,
                                    CaptureWidgetShown shown) {
  return [cameras = std::move(cameras), profiles = std::move(profiles), shown](
             QWidget& host, const QString& name, const QRect& geometry) {
    auto window = std::make_unique<video::CaptureWidget>(cameras, &host, profiles);
    window->setObjectName(name);
    window->setWindowTitle(name);
    window->setGeometry(geometry);
    if (shown == CaptureWidgetShown::Visible) window->show();
    return std::unique_ptr<video::CaptureWindow>(std::move(window));
  };
}

modWebCam::modWebCam(std::shared_ptr<video::DeviceProvider> cameras,
                     CaptureWindowFactory makeWindow,
                     std::shared_ptr<video::CameraProfiles> profiles)
    : cameras_(std::move(cameras)),
      makeWindow_(makeWindow ? std::move(makeWindow)
                             : captureWidgets(cameras_, std::move(profiles),
                                              CaptureWidgetShown::Visible)) {}

modWebCam::~modWebCam() {
  closeCaptureWindow();
}

void modWebCam::listCaptureDrivers(QListWidget& list) {
  fill(list, cameras_ ? cameras_->drivers() : std::vector<video::DriverInfo>{});
}

bool modWebCam::relistCaptureDrivers(QListWidget& list) {
  auto drivers = cameras_ ? cameras_->drivers() : std::vector<video::DriverInfo>{};
  if (drivers.size() > video::kMaxDrivers) drivers.resize(video::kMaxDrivers);
  if (drivers == listed_) return false;
  fill(list, std::move(drivers));
  if (const int moved = listedPosition(openedIdentity_); moved >= 0) captureDriverIndex_ = moved;
  return true;
}

void modWebCam::fill(QListWidget& list, std::vector<video::DriverInfo> drivers) {
  list.clear();
  if (drivers.size() > video::kMaxDrivers) drivers.resize(video::kMaxDrivers);
  for (const auto& driver : drivers) list.addItem(listedName(driver.name));
  listed_ = std::move(drivers);
}

std::string modWebCam::listedIdentity(int position) const {
  if (position < 0 || position >= static_cast<int>(listed_.size())) return {};
  return listed_[static_cast<std::size_t>(position)].identity;
}

int modWebCam::listedPosition(const std::string& identity) const {
  if (identity.empty()) return -1;
  for (std::size_t i = 0; i < listed_.size(); ++i)
    if (listed_[i].identity == identity) return static_cast<int>(i);
  return -1;
}

void modWebCam::openCaptureWindow(std::int32_t driverNumber, QWidget& host) {
  captureDriverIndex_ = driverNumber;
  openedIdentity_ = listedIdentity(driverNumber);
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
