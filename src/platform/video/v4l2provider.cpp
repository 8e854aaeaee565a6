#include "platform/video/v4l2provider.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <optional>

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

std::optional<DriverInfo> describe(const std::string& path) {
  UniqueFd fd(syscalls().open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) return {};
  const auto caps = queryCapabilities(fd.get());
  if (!caps || !isStreamingCaptureNode(*caps)) return {};
  return DriverInfo{cardName(*caps), driverVersion(*caps)};
}

}  // namespace

std::vector<V4l2Node> listCaptureNodes(const std::filesystem::path& deviceFolder) {
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
    if (auto info = describe(path)) nodes.push_back({path, std::move(*info)});
  }
  return nodes;
}

V4l2Provider::V4l2Provider(std::filesystem::path deviceFolder) : folder_(std::move(deviceFolder)) {}

std::vector<DriverInfo> V4l2Provider::drivers() {
  std::vector<DriverInfo> infos;
  for (auto& node : listCaptureNodes(folder_)) infos.push_back(std::move(node.info));
  return infos;
}

base::Expected<std::unique_ptr<CaptureDevice>, base::SystemError> V4l2Provider::open(int number) {
  const auto nodes = listCaptureNodes(folder_);
  if (number < 0 || number >= static_cast<int>(nodes.size()))
    return base::SystemError{ENODEV, "no capture driver " + std::to_string(number)};
  return V4l2Device::open(nodes[static_cast<std::size_t>(number)].path);
}

}  // namespace video
