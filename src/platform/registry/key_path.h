#pragma once
// Key paths as callers give them ("Velmora\Photo"), relative to a root.

#include <string>
#include <string_view>

#include "platform/registry/result.h"

namespace registry {

// Checks a relative key path and joins it to the root's name. The empty path
// is the root itself; an empty level (leading, trailing or doubled
// backslash) or a zero byte or line break in a name is refused.
Result<std::string> fullKeyPath(std::string_view root, std::string_view relative);

}  // namespace registry
