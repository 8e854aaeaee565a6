#pragma once
// Writes a document in the registry export text format. A text value goes in
// quotes when the quoted form can carry it (valid UTF-8 without zero or line
// breaks); otherwise, like every type other than a four-byte DWORD, as a
// hex(<type>) byte list, wrapped the way the format's own exports wrap.

#include <string>
#include <string_view>

#include "platform/registry/document.h"

namespace registry {

std::string serialize(const Document& doc);

// True when `name` can be written as a quoted value name.
bool isWritableName(std::string_view name);

}  // namespace registry
