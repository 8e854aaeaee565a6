#pragma once
// The machine's cameras: the capture-capable video nodes of a device folder,
// in node-number order, numbered from 0, each named by the physical camera
// behind it (see DriverInfo::identity).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/deviceprovider.h"

namespace video {

class FolderWatch;

struct V4l2Node {
  std::string path;
  DriverInfo info;
};

// Nodes named videoN that open and say they stream video capture, sorted by N;
// at most kMaxDrivers of them. `sysfsFolder` holds a folder per node name
// (/sys/class/video4linux) whose "device" leads to the USB attributes.
std::vector<V4l2Node> listCaptureNodes(const std::filesystem::path& deviceFolder,
                                       const std::filesystem::path& sysfsFolder);

class V4l2Provider final : public DeviceProvider {
 public:
  explicit V4l2Provider(std::filesystem::path deviceFolder = "/dev",
                        std::filesystem::path sysfsFolder = "/sys/class/video4linux");
  ~V4l2Provider() override;
  std::vector<DriverInfo> drivers() override;
  base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> open(int number) override;
  base::Expected<OpenedDriver, base::SystemError> openDriver(int number) override;
  // Watches the device folder; null when it cannot be watched.
  DeviceNotifier* notifier() override;

 private:
  std::filesystem::path folder_;
  std::filesystem::path sysfs_;
  std::unique_ptr<FolderWatch> watch_;
  bool watchTried_ = false;
};

}  // namespace video
