#pragma once
// Reads a whole store file in one go. No cache anywhere: every lookup calls
// this, so a value written by another process is seen at once.

#include <cstddef>
#include <string>

#include "platform/registry/result.h"

namespace registry {

// NotFound when the file does not exist (nor its folder); Corrupt when it is larger than
// `maxSize` (no settings file grows that large; reading it would only stall).
Result<std::string> readWholeFile(const std::string& path, std::size_t maxSize);

}  // namespace registry
