#pragma once
// Camera profiles kept in the settings store, one key per camera under the
// program's main key: "Velmora\Photo\Kameralar\<identity, made key-safe>",
// holding the format as text ("Format"), the control ids as text
// ("Kontroller", hexadecimal, comma-separated) and one number value per
// control named by its id in hexadecimal ("00980900").

#include <QString>
#include <optional>
#include <string>

#include "platform/video/cameraprofiles.h"
#include "settings/Module1.h"

class CameraProfileStore final : public video::CameraProfiles {
 public:
  explicit CameraProfileStore(Module1 settings) : settings_(std::move(settings)) {}

  std::optional<video::CameraProfile> load(const std::string& identity) const override;
  // Writes only the values that differ from what is stored: each write is a
  // locked, flushed replacement of the store file.
  void save(const std::string& identity, const video::CameraProfile& profile) override;

  // The key of a camera: letters other than a-z, digits, '.', '-' and '_'
  // become %XX, so that no two identities share a key in a store whose names
  // compare without regard to case.
  static QString keyPathFor(const std::string& identity);

 private:
  Module1 settings_;
};
