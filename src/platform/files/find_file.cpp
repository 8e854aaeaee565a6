#include "platform/files/find_file.h"

#include "platform/registry/case_fold.h"

namespace files {
namespace fs = std::filesystem;
namespace {

bool isRegularFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

std::optional<fs::path> scanFolder(const fs::path& folder, const std::string& wantedFolded) {
  std::error_code error;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
  if (error) return std::nullopt;
  std::optional<fs::path> best;
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    if (error) return std::nullopt;
    const fs::path name = it->path().filename();
    if (registry::foldCase(name.string()) != wantedFolded) continue;
    if (!isRegularFile(it->path())) continue;
    // Folder order is arbitrary; take the smallest name so the answer is stable.
    if (!best || name < best->filename()) best = folder / name;
  }
  return best;
}

}  // namespace

std::optional<fs::path> findFileIgnoringCase(const fs::path& path) {
  if (path.empty() || !path.has_filename()) return std::nullopt;
  if (isRegularFile(path)) return path;
  std::error_code error;
  if (fs::exists(fs::symlink_status(path, error))) return std::nullopt;  // a folder, a device
  return scanFolder(path.parent_path(), registry::foldCase(path.filename().string()));
}

}  // namespace files
