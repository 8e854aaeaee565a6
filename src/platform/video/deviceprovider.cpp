#include "platform/video/deviceprovider.h"

#include <QByteArray>
#include <QtGlobal>
#include <cerrno>

#include "platform/video/syntheticcamera.h"
#include "platform/video/v4l2provider.h"

Q_LOGGING_CATEGORY(lcVideo, "tandeo.video", QtCriticalMsg)

namespace video {
namespace {

constexpr std::string_view kBlanks = " \t";

bool isBlank(std::string_view text) {
  return text.find_first_not_of(kBlanks) == std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
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

std::vector<FakeCameraEntry> parseFakeCameras(std::string_view list) {
  std::vector<FakeCameraEntry> cameras;
  while (!list.empty()) {
    const auto comma = list.find(',');
    const auto entry = list.substr(0, comma);
    const auto equals = entry.find('=');
    const auto name = entry.substr(0, equals);
    if (!isBlank(name)) {
      const auto picture =
          equals == std::string_view::npos ? std::string_view() : trimmed(entry.substr(equals + 1));
      cameras.push_back({std::string(name), std::string(picture)});
    }
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return cameras;
}

std::shared_ptr<DeviceProvider> makeDeviceProviderFromEnvironment() {
  // Set but empty means "no camera at all", which lets a test or a demo run
  // the no-driver path on any machine.
  if (qEnvironmentVariableIsSet("TANDEO_FAKE_CAMERAS")) {
    const QByteArray list = qgetenv("TANDEO_FAKE_CAMERAS");
    return makeSyntheticProvider(parseFakeCameras(std::string_view(list.constData(), list.size())));
  }
  return std::make_shared<V4l2Provider>();
}

}  // namespace video
