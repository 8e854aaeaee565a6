#pragma once
// Folders as the file layer needs them: the folder a path lies in, creating
// one with its parents, flushing one after a rename, listing the names in one.

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/files/syscalls.h"

namespace files {

// The folder part of `path`: "." for a bare name, "/" for a name at the root.
std::string parentFolder(const std::string& path);
// The last part of `path`.
std::string fileName(const std::string& path);
// `name` in `folder`.
std::string pathIn(const std::string& folder, std::string_view name);

// Creates `folder` and any missing parents, each with `mode`.
Expected<void> ensureFolder(const std::string& folder, mode_t mode);

// Flushes the folder itself, so that a rename in it survives a power cut.
// A file system that cannot flush a folder (EINVAL), or a folder the user
// may write but not read, counts as done: nothing more can be done there.
Expected<void> syncFolder(const std::string& folder);

// The names in `folder` ("." and ".." left out), in the folder's own order.
Expected<std::vector<std::string>> folderNames(const std::string& folder);

}  // namespace files
