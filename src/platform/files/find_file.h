#pragma once
// Finding a file the way the original platform did: a name that differs only
// in letter case names the same file. The program writes "Resim001.jpg" and
// later asks for "Resim001.JPG"; on Linux both may even exist side by side.

#include <filesystem>
#include <optional>

namespace files {

// The existing regular file `path` names: the exact name when it exists,
// otherwise the one file in the same folder whose name equals it ignoring
// case (the first in name order should several). Folders, missing files and
// any failure of the lookup give nothing.
std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path& path);

}  // namespace files
