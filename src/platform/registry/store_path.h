#pragma once
// Where the per-user store lives: $XDG_CONFIG_HOME/Velmora/user.reg, or
// ~/.config/Velmora/user.reg when XDG_CONFIG_HOME is unset, empty or not an
// absolute path (the XDG rules ignore relative ones).

#include <filesystem>
#include <optional>

namespace registry {

// Pure: the caller hands in the two variables (null when unset).
std::optional<std::filesystem::path> userStorePath(const char* xdgConfigHome, const char* home);

// Reads the environment (and the password database when HOME is unset).
std::optional<std::filesystem::path> userStorePathFromEnvironment();

}  // namespace registry
