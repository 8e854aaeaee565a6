#pragma once
// An old file moved out of the way, in its own folder, while its replacement is
// written: the replacement's writer either commits (the old copy is discarded)
// or restores (the old copy goes back under its name). Nothing here ever
// deletes the only copy of the user's file.

#include <filesystem>
#include <system_error>

#include "platform/base/expected.h"

namespace files {

class SetAside {
 public:
  // Renames `file` to a hidden, unused name beside it (".<name>.old-XXXXXX").
  // The rename never replaces another file.
  static base::Expected<SetAside, std::error_code> move(const std::filesystem::path& file);

  SetAside() = default;  // holds nothing
  SetAside(SetAside&& other) noexcept;
  SetAside& operator=(SetAside&& other) noexcept;
  SetAside(const SetAside&) = delete;
  SetAside& operator=(const SetAside&) = delete;
  // Not committed: the old file goes back if its name is still free. If
  // something now stands there (a replacement written but never committed),
  // both are kept: the copy stays under its hidden name rather than be lost.
  ~SetAside();

  bool holdsFile() const { return !aside_.empty(); }
  const std::filesystem::path& originalPath() const { return original_; }
  const std::filesystem::path& asidePath() const { return aside_; }

  // The replacement is in place: removes the set-aside copy.
  std::error_code commit();
  // The replacement failed: puts the old file back under its name, over
  // whatever a failed writer may have left there.
  std::error_code restore();

 private:
  SetAside(std::filesystem::path original, std::filesystem::path aside)
      : original_(std::move(original)), aside_(std::move(aside)) {}
  void release();

  std::filesystem::path original_;
  std::filesystem::path aside_;
};

}  // namespace files
