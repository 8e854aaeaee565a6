#pragma once
// What the user chose for one physical camera in its format and source
// dialogs, remembered by the camera's identity so that the same camera comes
// back the way it was left, whatever node number it gets. The store itself
// lives above this layer (over the settings store); the capture widget only
// loads and saves through this interface.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/video/capturedevice.h"

namespace video {

struct CameraProfile {
  std::optional<FormatOption> format;
  // Control id and value, in the order the device lists its controls.
  std::vector<std::pair<std::uint32_t, std::int32_t>> controls;
  bool operator==(const CameraProfile&) const = default;
};

class CameraProfiles {
 public:
  virtual ~CameraProfiles() = default;
  // Nothing stored for the camera: no profile.
  virtual std::optional<CameraProfile> load(const std::string& identity) const = 0;
  virtual void save(const std::string& identity, const CameraProfile& profile) = 0;
};

}  // namespace video
