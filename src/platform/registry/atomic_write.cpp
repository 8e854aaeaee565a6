#include "platform/registry/atomic_write.h"

#include <fcntl.h>

#include <cerrno>
#include <filesystem>

#include "platform/registry/syscalls.h"
#include "platform/registry/temp_file.h"
#include "platform/registry/unique_fd.h"

namespace registry {
namespace {

constexpr std::string_view kTempInfix = ".tmp-";

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

Result<void> syncDirectory(const std::string& dir) {
  auto fd = openFd(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (!fd) return fd.error();
  while (syscalls().fsync(fd->get()) != 0) {
    // Some file systems cannot flush a folder; nothing more can be done there.
    if (errno == EINVAL) return {};
    if (errno != EINTR) return errnoError(errno);
  }
  return {};
}

}  // namespace

Result<void> ensureDirectory(const std::string& dir) {
  if (syscalls().mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) return {};
  if (errno != ENOENT) return errnoError(errno);
  const std::string parent = parentOf(dir);
  if (parent == dir) return errnoError(ENOENT);
  if (auto made = ensureDirectory(parent); !made) return made;
  if (syscalls().mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) return {};
  return errnoError(errno);
}

Result<void> writeFileAtomically(const std::string& target, std::string_view bytes) {
  auto temp = TempFile::create(target + std::string(kTempInfix));
  if (!temp) return temp.error();
  if (auto written = temp->writeAndSync(bytes); !written) return written;
  if (auto renamed = temp->commit(target); !renamed) return renamed;
  return syncDirectory(parentOf(target));
}

void removeStaleTemporaries(const std::string& target) {
  const std::string dir = parentOf(target);
  const std::string prefix =
      std::filesystem::path(target).filename().string() + std::string(kTempInfix);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) == 0) {
      syscalls().unlink(entry.path().c_str());
    }
  }
}

}  // namespace registry
