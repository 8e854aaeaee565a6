#pragma once
// The machine's cameras: the capture-capable video nodes of a device folder,
// in node-number order, numbered from 0.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/video/deviceprovider.h"

namespace video {

struct V4l2Node {
  std::string path;
  DriverInfo info;
};

// Nodes named videoN that open and say they stream video capture, sorted by N;
// at most kMaxDrivers of them.
std::vector<V4l2Node> listCaptureNodes(const std::filesystem::path& deviceFolder);

class V4l2Provider final : public DeviceProvider {
 public:
  explicit V4l2Provider(std::filesystem::path deviceFolder = "/dev");
  std::vector<DriverInfo> drivers() override;
  base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> open(int number) override;

 private:
  std::filesystem::path folder_;
};

}  // namespace video
