#include "platform/video/v4l2provider.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>

#include "platform/video/devicewatch.h"
#include "platform/video/syscalls.h"
#include "platform/video/v4l2device.h"
#include "platform/video/v4l2query.h"

namespace video {
namespace {

std::optional<int> nodeNumber(const std::string& name) {
  constexpr std::string_view prefix = "video";
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return {};
  int number = 0;
  const char* first = name.data() + prefix.size();
  const char* last = name.data() + name.size();
  const auto [end, ec] = std::from_chars(first, last, number);
  if (ec != std::errc() || end != last) return {};
  return number;
}

// The first line of a small sysfs attribute, blanks around it removed.
std::string attribute(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

struct UsbAttributes {
  std::string vendorProduct;  // "046d:0825"
  std::string serial;         // empty: the camera has none
};

// The USB device a node belongs to is the nearest folder above the node's
// "device" (its interface) that has idVendor; the hub above it has a serial
// number of its own (its PCI address), so the search stops there.
std::optional<UsbAttributes> usbAttributes(const std::filesystem::path& sysfsFolder,
                                           const std::string& nodeName) {
  constexpr int kLevels = 4;
  std::error_code ec;
  auto folder = std::filesystem::canonical(sysfsFolder / nodeName / "device", ec);
  if (ec) return {};
  for (int level = 0; level < kLevels && folder.has_relative_path(); ++level) {
    if (std::filesystem::exists(folder / "idVendor", ec)) {
      return UsbAttributes{attribute(folder / "idVendor") + ':' + attribute(folder / "idProduct"),
                           attribute(folder / "serial")};
    }
    folder = folder.parent_path();
  }
  return {};
}

std::string busInfo(const v4l2_capability& caps) {
  const auto* text = reinterpret_cast<const char*>(caps.bus_info);
  return std::string(text, strnlen(text, sizeof caps.bus_info));
}

std::string cameraIdentity(const v4l2_capability& caps, const std::optional<UsbAttributes>& usb) {
  if (usb && !usb->serial.empty()) return "serial:" + usb->vendorProduct + '/' + usb->serial;
  std::string identity = "bus:" + busInfo(caps) + '/' + cardName(caps);
  if (usb) identity += '/' + usb->vendorProduct;
  return identity;
}

std::optional<DriverInfo> describe(const std::filesystem::path& path,
                                   const std::filesystem::path& sysfsFolder) {
  UniqueFd fd(syscalls().open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) return {};
  const auto caps = queryCapabilities(fd.get());
  if (!caps || !isStreamingCaptureNode(*caps)) return {};
  const auto usb = usbAttributes(sysfsFolder, path.filename().string());
  return DriverInfo{cardName(*caps), driverVersion(*caps), cameraIdentity(*caps, usb)};
}

}  // namespace

std::vector<V4l2Node> listCaptureNodes(const std::filesystem::path& deviceFolder,
                                       const std::filesystem::path& sysfsFolder) {
  std::vector<std::pair<int, std::string>> candidates;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(deviceFolder, ec)) {
    if (auto number = nodeNumber(entry.path().filename().string()))
      candidates.emplace_back(*number, entry.path().string());
  }
  std::sort(candidates.begin(), candidates.end());
  std::vector<V4l2Node> nodes;
  for (const auto& [number, path] : candidates) {
    if (nodes.size() == kMaxDrivers) break;
    if (auto info = describe(path, sysfsFolder)) nodes.push_back({path, std::move(*info)});
  }
  return nodes;
}

V4l2Provider::V4l2Provider(std::filesystem::path deviceFolder, std::filesystem::path sysfsFolder)
    : folder_(std::move(deviceFolder)), sysfs_(std::move(sysfsFolder)) {}

V4l2Provider::~V4l2Provider() = default;

std::vector<DriverInfo> V4l2Provider::drivers() {
  std::vector<DriverInfo> infos;
  for (auto& node : listCaptureNodes(folder_, sysfs_)) infos.push_back(std::move(node.info));
  return infos;
}

base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> V4l2Provider::open(int number) {
  auto opened = openDriver(number);
  if (!opened) return opened.error();
  return std::move(opened->device);
}

base::Expected<OpenedDriver, base::SystemError> V4l2Provider::openDriver(int number) {
  auto nodes = listCaptureNodes(folder_, sysfs_);
  if (number < 0 || number >= static_cast<int>(nodes.size()))
    return base::SystemError{ENODEV, "no capture driver " + std::to_string(number)};
  auto& node = nodes[static_cast<std::size_t>(number)];
  auto device = V4l2Device::open(node.path);
  if (!device) return device.error();
  return OpenedDriver{std::move(*device), std::move(node.info)};
}

DeviceNotifier* V4l2Provider::notifier() {
  if (!watchTried_) {
    watchTried_ = true;
    auto watch = FolderWatch::start(folder_, "video");
    if (watch)
      watch_ = std::move(*watch);
    else
      qCDebug(lcVideo) << "cameras coming and going go unseen:" << watch.error().message().c_str();
  }
  return watch_.get();
}

}  // namespace video
