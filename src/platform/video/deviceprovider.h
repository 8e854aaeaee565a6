#pragma once
// Where capture drivers come from: the V4L2 devices of the machine or, when
// TANDEO_FAKE_CAMERAS is set, synthetic cameras. The environment is read only
// by makeDeviceProviderFromEnvironment(), which main() calls; everything else
// is handed a provider.

#include <QLoggingCategory>
#include <QObject>
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
  // Names the physical camera, whatever node number it has now: its USB
  // serial number where it has one, otherwise where it sits on its bus and
  // what model it is; "synthetic:" and the name for a synthetic camera. Two
  // cameras of one model without serial numbers differ by their ports.
  std::string identity;
  bool operator==(const DriverInfo&) const = default;
};

// A device opened together with what the list said of it at that moment.
struct OpenedDriver {
  std::unique_ptr<CaptureDevice> device;
  DriverInfo info;
};

// Says that capture devices came or went: the provider's list may differ now.
class DeviceNotifier : public QObject {
  Q_OBJECT

 signals:
  void devicesChanged();
};

class DeviceProvider {
 public:
  virtual ~DeviceProvider() = default;
  // At most kMaxDrivers entries; a driver's number is its position.
  virtual std::vector<DriverInfo> drivers() = 0;
  virtual base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> open(int number) = 0;
  // Opens driver `number` and tells which camera that was. The default looks
  // at the list and then opens; a provider that lists by opening nodes does
  // both from one look.
  virtual base::Expected<OpenedDriver, base::SystemError> openDriver(int number);
  // Where changes of the list are announced, made on first use on the
  // user-interface thread; null when the list never changes.
  virtual DeviceNotifier* notifier() { return nullptr; }
};

// One synthetic camera as TANDEO_FAKE_CAMERAS names it: "Kamera A" shows the
// colour pattern, "Kamera A=/path/to/face.png" that picture, standing still.
struct FakeCameraEntry {
  std::string name;
  // Empty: the colour pattern.
  std::string picture;
  bool operator==(const FakeCameraEntry&) const = default;
};

// The cameras of a comma-separated list. Each entry's name is kept as
// written (trimming is the caller's business) up to its first "=", and what
// follows is the picture's path, without the blanks around it (so a path
// cannot hold a comma). Entries whose name is blank are skipped.
std::vector<FakeCameraEntry> parseFakeCameras(std::string_view list);

std::shared_ptr<DeviceProvider> makeDeviceProviderFromEnvironment();

}  // namespace video
