#include "platform/files/replace.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/files/folder.h"

namespace files {
namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

struct Target {
  std::string path;
  std::optional<mode_t> mode;  // of the file replaced; none for a new one
};

Expected<std::string> followLink(const std::string& path) {
  char resolved[PATH_MAX];
  if (!syscalls().realpath(path.c_str(), resolved))
    return base::SystemError::fromErrno("follow the link " + path);
  return std::string(resolved);
}

Expected<Target> inspectTarget(const std::string& path) {
  if (path.empty()) return base::SystemError{ENOENT, "write a file without a name"};
  struct stat st {};
  if (syscalls().lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Target{path, std::nullopt};
    return base::SystemError::fromErrno("look at " + path);
  }
  Target target{path, std::nullopt};
  if (S_ISLNK(st.st_mode)) {
    auto followed = followLink(path);
    if (!followed) return followed.error();
    target.path = std::move(*followed);
    if (syscalls().stat(target.path.c_str(), &st) != 0)
      return base::SystemError::fromErrno("look at " + target.path);
  }
  if (S_ISDIR(st.st_mode)) return base::SystemError{EISDIR, "write " + path};
  if (!S_ISREG(st.st_mode))
    return base::SystemError{EINVAL, "write " + path + " (not a regular file)"};
  if ((st.st_mode & kAnyWriteBit) == 0) return base::SystemError{EACCES, "write " + path};
  if (syscalls().access(target.path.c_str(), W_OK) != 0)
    return base::SystemError::fromErrno("write " + path);
  target.mode = st.st_mode & 07777;
  return target;
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return syscalls().lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// True when the new file took the place of the old one, which `temp` then holds.
bool exchangeIntoPlace(TempFile& temp, const std::string& target) {
  if (!isRegularFile(target) || !temp.exchangeWith(target)) return false;
  if (isRegularFile(temp.path())) return true;
  // Something other than a file took the name meanwhile: give it back its
  // place rather than delete it with the temporary file.
  static_cast<void>(temp.exchangeWith(target));
  return false;
}

}  // namespace

Expected<std::string> writableTarget(const std::string& path) {
  auto target = inspectTarget(path);
  if (!target) return target.error();
  return std::move(target->path);
}

Expected<void> replaceDurably(const std::string& path, std::span<const std::uint8_t> bytes,
                              const DurableOptions& options) {
  auto target = inspectTarget(path);
  if (!target) return target.error();
  const std::string folder = parentFolder(target->path);
  auto temp = TempFile::create(folder, options.newFileMode, options.tempPrefix);
  if (!temp) return temp.error();
  if (target->mode) {
    if (auto kept = temp->setMode(*target->mode); !kept) return kept;
  }
  if (auto written = temp->write(bytes); !written) return written;
  if (auto synced = temp->sync(); !synced) return synced;
  if (auto closed = temp->close(); !closed) return closed;
  if (auto renamed = temp->renameOver(target->path); !renamed) return renamed;
  return syncFolder(folder);
}

Expected<void> replaceScratch(const std::string& path, std::span<const std::uint8_t> bytes) {
  if (path.empty()) return base::SystemError{ENOENT, "write a file without a name"};
  auto temp = TempFile::create(parentFolder(path), 0666);
  if (!temp) return temp.error();
  if (auto written = temp->write(bytes); !written) return written;
  if (auto closed = temp->close(); !closed) return closed;
  if (exchangeIntoPlace(*temp, path)) return {};
  return temp->renameOver(path);
}

}  // namespace files
