#pragma once
// Replacing the store file so that a reader sees either the old or the new
// file, never a mixture, and a crash or a full disk never loses the old one.

#include <string>
#include <string_view>

#include "platform/registry/result.h"

namespace registry {

// Creates `dir` and any missing parents, each with mode 0700.
Result<void> ensureDirectory(const std::string& dir);

// Writes `bytes` to a new temporary file beside `target`, flushes it, renames
// it over `target` and flushes the folder. On any failure before the rename
// the old file is untouched and the temporary file is gone.
Result<void> writeFileAtomically(const std::string& target, std::string_view bytes);

// Removes temporary files that a writer killed mid-write left beside
// `target`. Only safe while holding the store's lock.
void removeStaleTemporaries(const std::string& target);

}  // namespace registry
