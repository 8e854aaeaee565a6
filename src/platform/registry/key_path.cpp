#include "platform/registry/key_path.h"

namespace registry {

Result<std::string> fullKeyPath(std::string_view root, std::string_view relative) {
  if (relative.empty()) return std::string(root);
  std::size_t levelLength = 0;
  for (char c : relative) {
    if (c == '\0' || c == '\n' || c == '\r') return Error{Errc::InvalidName};
    if (c == '\\') {
      if (levelLength == 0) return Error{Errc::InvalidName};
      levelLength = 0;
    } else {
      ++levelLength;
    }
  }
  if (levelLength == 0) return Error{Errc::InvalidName};
  std::string full(root);
  full += '\\';
  full += relative;
  return full;
}

}  // namespace registry
