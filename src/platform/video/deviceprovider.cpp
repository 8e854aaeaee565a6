#include "platform/video/deviceprovider.h"

#include <QByteArray>
#include <QtGlobal>
#include <cerrno>

#include "platform/video/syntheticcamera.h"
#include "platform/video/v4l2provider.h"

Q_LOGGING_CATEGORY(lcVideo, "tandeo.video", QtCriticalMsg)

namespace video {
namespace {

bool isBlank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

base::Expected<OpenedDriver, base::SystemError> DeviceProvider::openDriver(int number) {
  const auto list = drivers();
  if (number < 0 || number >= static_cast<int>(list.size()))
    return base::SystemError{ENODEV, "no capture driver " + std::to_string(number)};
  auto device = open(number);
  if (!device) return device.error();
  return OpenedDriver{std::move(*device), list[static_cast<std::size_t>(number)]};
}

std::vector<std::string> parseFakeCameraNames(std::string_view list) {
  std::vector<std::string> names;
  while (!list.empty()) {
    const auto comma = list.find(',');
    const auto name = list.substr(0, comma);
    if (!isBlank(name)) names.emplace_back(name);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return names;
}

std::shared_ptr<DeviceProvider> makeDeviceProviderFromEnvironment() {
  // Set but empty means "no camera at all", which lets a test or a demo run
  // the no-driver path on any machine.
  if (qEnvironmentVariableIsSet("TANDEO_FAKE_CAMERAS")) {
    const QByteArray list = qgetenv("TANDEO_FAKE_CAMERAS");
    return std::make_shared<SyntheticProvider>(
        parseFakeCameraNames(std::string_view(list.constData(), list.size())));
  }
  return std::make_shared<V4l2Provider>();
}

}  // namespace video
