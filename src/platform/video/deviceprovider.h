#pragma once
// Where capture drivers come from: the V4L2 devices of the machine or, when
// TANDEO_FAKE_CAMERAS is set, synthetic cameras. The environment is read only
// by makeDeviceProviderFromEnvironment(), which main() calls; everything else
// is handed a provider.

#include <QLoggingCategory>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/video/capturedevice.h"

// The video layer's one logging category, silent unless enabled with
// QT_LOGGING_RULES="tandeo.video.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcVideo)

namespace video {

inline constexpr int kMaxDrivers = 10;

struct DriverInfo {
  std::string name;
  std::string version;
};

class DeviceProvider {
 public:
  virtual ~DeviceProvider() = default;
  // At most kMaxDrivers entries; a driver's number is its position.
  virtual std::vector<DriverInfo> drivers() = 0;
  virtual base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> open(int number) = 0;
};

// Names from a comma-separated list; blank entries are skipped, the others
// are kept as written (trimming is the caller's business).
std::vector<std::string> parseFakeCameraNames(std::string_view list);

std::shared_ptr<DeviceProvider> makeDeviceProviderFromEnvironment();

}  // namespace video
