#include "platform/imaging/target_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "platform/imaging/file_syscalls.h"
#include "platform/imaging/temp_file.h"

namespace imaging {
namespace {

// A link is followed so that the file it names is replaced, not the link.
std::string resolvedTarget(const std::string& target) {
  std::error_code error;
  if (!std::filesystem::is_symlink(target, error)) return target;
  auto real = std::filesystem::weakly_canonical(target, error);
  return error ? target : real.string();
}

void syncFolder(const std::string& dir) {
  // A folder that cannot be flushed (some file systems) leaves the rename
  // done but not yet durable; nothing more can be done there.
  Fd fd(fileSyscalls().open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (fd.valid()) fileSyscalls().fsync(fd.get());
}

std::string folderOf(const std::filesystem::path& path) {
  return path.has_parent_path() ? path.parent_path().string() : std::filesystem::path(".").string();
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A plain rename over an existing file makes ext4 start writing the new
// file's blocks at once (its guard for programs that never flush), which
// costs more than all the rest of taking a photo. Trading places with the old
// file is just as atomic and is spared that.
bool swapIntoPlace(TempFile& temp, const std::string& target) {
  if (!isRegularFile(target)) return false;
  if (!temp.swapWith(target)) return false;
  if (isRegularFile(temp.path())) return true;
  // Something other than a file took the name meanwhile: give it back its
  // place rather than delete it with the temporary file.
  temp.swapWith(target);
  return false;
}

}  // namespace

Result<void> checkTargetWritable(const std::string& target) {
  if (target.empty()) return ImageError::TargetNotWritable;
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) return {};  // absent: created new
  if (!S_ISREG(st.st_mode)) return ImageError::TargetNotWritable;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return ImageError::TargetNotWritable;
  if (::access(target.c_str(), W_OK) != 0) return ImageError::TargetNotWritable;
  return {};
}

Result<void> replaceFile(const std::string& targetPath, std::span<const std::uint8_t> bytes) {
  if (auto writable = checkTargetWritable(targetPath); !writable) return writable;
  const std::string target = resolvedTarget(targetPath);
  const std::filesystem::path path(target);
  const std::string dir = folderOf(path);
  struct stat old {};
  std::optional<mode_t> mode;
  if (::stat(target.c_str(), &old) == 0) mode = old.st_mode & 07777;

  auto temp = TempFile::create(dir, path.filename().string());
  if (!temp) return temp.error();
  if (auto written = temp->writeAndSync(bytes, mode); !written) return written;
  if (auto renamed = temp->commit(target); !renamed) return renamed;
  syncFolder(dir);
  return {};
}

Result<void> replaceScratchFile(const std::string& target, std::span<const std::uint8_t> bytes) {
  if (target.empty()) return ImageError::TargetNotWritable;
  const std::filesystem::path path(target);
  auto temp = TempFile::create(folderOf(path), path.filename().string());
  if (!temp) return temp.error();
  if (auto written = temp->writeWithoutSync(bytes); !written) return written;
  if (swapIntoPlace(*temp, target)) return {};
  return temp->commit(target);
}

}  // namespace imaging
