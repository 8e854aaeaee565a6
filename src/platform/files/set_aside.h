#pragma once
// An old file moved out of the way, in its own folder, while its replacement is
// written: the replacement's writer either commits (the old copy is discarded)
// or restores (the old copy goes back under its name). Nothing here ever
// deletes the only copy of the user's file.

#include <string>

#include "platform/files/syscalls.h"

namespace files {

class SetAside {
 public:
  // Renames `file` to a hidden, unused name beside it (".tandeo-old-" and
  // twelve random letters and digits, short whatever the file is called).
  // The rename never replaces another file.
  static Expected<SetAside> move(const std::string& file);

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
  const std::string& originalPath() const { return original_; }
  const std::string& asidePath() const { return aside_; }

  // The replacement is in place: removes the set-aside copy.
  Expected<void> commit();
  // The replacement failed: puts the old file back under its name, over
  // whatever a failed writer may have left there.
  Expected<void> restore();

 private:
  SetAside(std::string original, std::string aside)
      : original_(std::move(original)), aside_(std::move(aside)) {}
  void putBackIfFree();
  void release();

  std::string original_;
  std::string aside_;
};

}  // namespace files
