#include "platform/registry/store_path.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace registry {
namespace {

bool absolute(const char* path) {
  return path && path[0] == '/';
}

std::optional<std::string> homeFromPasswordDatabase() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
    return std::nullopt;
  }
  if (!absolute(found->pw_dir)) return std::nullopt;
  return std::string(found->pw_dir);
}

}  // namespace

std::optional<std::filesystem::path> userStorePath(const char* xdgConfigHome, const char* home) {
  std::filesystem::path config;
  if (absolute(xdgConfigHome)) {
    config = xdgConfigHome;
  } else if (absolute(home)) {
    config = std::filesystem::path(home) / ".config";
  } else {
    return std::nullopt;
  }
  return config / "Velmora" / "user.reg";
}

std::optional<std::filesystem::path> userStorePathFromEnvironment() {
  const char* home = std::getenv("HOME");
  std::optional<std::string> fallback;
  if (!absolute(home) && (fallback = homeFromPasswordDatabase())) home = fallback->c_str();
  return userStorePath(std::getenv("XDG_CONFIG_HOME"), home);
}

}  // namespace registry
