#include "platform/files/folder.h"

#include <fcntl.h>

#include <cerrno>
#include <memory>

namespace files {
namespace {

struct CloseFolder {
  void operator()(DIR* folder) const { syscalls().closedir(folder); }
};

bool isDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

std::string parentFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  const std::size_t end = path.find_last_not_of('/', slash);
  return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

std::string fileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string pathIn(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.ends_with('/')) path += '/';
  return path.append(name);
}

Expected<void> ensureFolder(const std::string& folder, mode_t mode) {
  if (syscalls().mkdir(folder.c_str(), mode) == 0 || errno == EEXIST) return {};
  if (errno != ENOENT) return base::SystemError::fromErrno("create folder " + folder);
  const std::string parent = parentFolder(folder);
  if (parent == folder) return base::SystemError{ENOENT, "create folder " + folder};
  if (auto made = ensureFolder(parent, mode); !made) return made;
  if (syscalls().mkdir(folder.c_str(), mode) == 0 || errno == EEXIST) return {};
  return base::SystemError::fromErrno("create folder " + folder);
}

Expected<void> syncFolder(const std::string& folder) {
  auto fd = openFd(folder, O_RDONLY | O_DIRECTORY, 0);
  // A folder the user may write but not read cannot be flushed by them.
  if (!fd) return fd.error().code == EACCES ? Expected<void>() : fd.error();
  while (syscalls().fsync(fd->get()) != 0) {
    if (errno == EINVAL) return {};
    if (errno != EINTR) return base::SystemError::fromErrno("flush folder " + folder);
  }
  return {};
}

Expected<std::vector<std::string>> folderNames(const std::string& folder) {
  const std::unique_ptr<DIR, CloseFolder> dir(syscalls().opendir(folder.c_str()));
  if (!dir) return base::SystemError::fromErrno("list folder " + folder);
  std::vector<std::string> names;
  for (;;) {
    errno = 0;
    const dirent* entry = syscalls().readdir(dir.get());
    if (!entry) break;
    if (!isDotOrDotDot(entry->d_name)) names.emplace_back(entry->d_name);
  }
  if (errno != 0) return base::SystemError::fromErrno("list folder " + folder);
  return names;
}

}  // namespace files
