#pragma once
// A store file that cannot be read is never overwritten: it is renamed to
// "<file>.corrupt-<UTC timestamp>" so the user can inspect or repair it, and
// the store starts afresh.

#include <ctime>
#include <string>

#include "platform/registry/result.h"

namespace registry {

// Renames `path` to a name that does not exist yet and returns that name.
// Only safe while holding the store's lock.
Result<std::string> moveAside(const std::string& path, std::time_t now);

}  // namespace registry
