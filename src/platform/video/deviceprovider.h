#pragma once
// Where capture drivers come from: the V4L2 devices of the machine or, when
// TANDEO_FAKE_CAMERAS is set, synthetic cameras. The environment is read only
// by makeDeviceProviderFromEnvironment(); everything else is handed a provider.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/video/capturedevice.h"
#include "platform/video/result.h"

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
  virtual Expected<std::unique_ptr<CaptureDevice>> open(int number) = 0;
};

// Names from a comma-separated list; blank entries are skipped, the others
// are kept as written (trimming is the caller's business).
std::vector<std::string> parseFakeCameraNames(std::string_view list);

std::shared_ptr<DeviceProvider> makeDeviceProviderFromEnvironment();

// The provider the capture-window functions use: created from the environment
// on first use unless one was set. Setting nullptr makes the next use read the
// environment again. User-interface thread only.
std::shared_ptr<DeviceProvider> currentDeviceProvider();
void setDeviceProvider(std::shared_ptr<DeviceProvider> provider);

}  // namespace video
