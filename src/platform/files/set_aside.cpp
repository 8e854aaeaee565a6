#include "platform/files/set_aside.h"

#include <stdio.h>  // RENAME_NOREPLACE
#include <sys/stat.h>

#include <cerrno>

#include "platform/files/folder.h"
#include "platform/files/temp_file.h"

namespace files {
namespace {

constexpr std::string_view kAsidePrefix = ".tandeo-old-";
constexpr int kNameAttempts = 16;

bool exists(const std::string& path) {
  struct stat st {};
  return syscalls().lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// rename() that fails with EEXIST instead of replacing `to`. File systems
// without RENAME_NOREPLACE get a hard link, which is exclusive too; one that
// has neither gets a checked rename, racy only against other writers there.
int renameNoReplace(const std::string& from, const std::string& to) {
  auto& sys = syscalls();
  if (sys.renameat2(from.c_str(), to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  if (sys.link(from.c_str(), to.c_str()) == 0) return sys.unlink(from.c_str());
  if (errno == EEXIST) return -1;
  if (exists(to)) return errno = EEXIST, -1;
  return sys.rename(from.c_str(), to.c_str());
}

}  // namespace

Expected<SetAside> SetAside::move(const std::string& file) {
  const std::string folder = parentFolder(file);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string aside = pathIn(folder, randomFileName(kAsidePrefix));
    if (renameNoReplace(file, aside) == 0) return SetAside(file, std::move(aside));
    if (errno != EEXIST) return base::SystemError::fromErrno("move " + file + " aside");
  }
  return base::SystemError{EEXIST, "move " + file + " aside"};
}

SetAside::SetAside(SetAside&& other) noexcept
    : original_(std::move(other.original_)), aside_(std::move(other.aside_)) {
  other.release();
}

SetAside& SetAside::operator=(SetAside&& other) noexcept {
  if (this != &other) {
    putBackIfFree();
    original_ = std::move(other.original_);
    aside_ = std::move(other.aside_);
    other.release();
  }
  return *this;
}

SetAside::~SetAside() {
  putBackIfFree();
}

void SetAside::putBackIfFree() {
  if (holdsFile()) static_cast<void>(renameNoReplace(aside_, original_));
}

void SetAside::release() {
  original_.clear();
  aside_.clear();
}

Expected<void> SetAside::commit() {
  if (!holdsFile()) return {};
  if (syscalls().unlink(aside_.c_str()) != 0 && errno != ENOENT)
    return base::SystemError::fromErrno("remove the old copy " + aside_);
  release();
  return {};
}

Expected<void> SetAside::restore() {
  if (!holdsFile()) return {};
  if (syscalls().rename(aside_.c_str(), original_.c_str()) != 0)
    return base::SystemError::fromErrno("put back " + original_);
  release();
  return {};
}

}  // namespace files
