#include "platform/registry/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/registry/syscalls.h"
#include "platform/registry/unique_fd.h"

namespace registry {

Result<std::string> readWholeFile(const std::string& path, std::size_t maxSize) {
  auto fd = openFd(path.c_str(), O_RDONLY);
  if (!fd) {
    // A missing folder, or a file where a folder should be, hides no store.
    const int err = fd.error().sysErrno;
    if (err == ENOENT || err == ENOTDIR) return Error{Errc::NotFound, err};
    return fd.error();
  }
  struct stat status {};
  if (syscalls().fstat(fd->get(), &status) != 0) return errnoError(errno);
  if (!S_ISREG(status.st_mode)) return errnoError(EISDIR);
  if (static_cast<std::size_t>(status.st_size) > maxSize) return Error{Errc::Corrupt};
  // One byte more than the reported size: a read that comes back short has
  // met the end of the file. The store is only ever replaced by rename, never
  // changed in place, so the file behind this descriptor does not grow; the
  // loop still copes with one that does.
  std::string text(static_cast<std::size_t>(status.st_size) + 1, '\0');
  std::size_t used = 0;
  for (;;) {
    if (used == text.size()) {
      if (text.size() > maxSize) return Error{Errc::Corrupt};
      text.resize(text.size() * 2);
    }
    const std::size_t wanted = text.size() - used;
    const ssize_t n = syscalls().read(fd->get(), text.data() + used, wanted);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errnoError(errno);
    }
    used += static_cast<std::size_t>(n);
    if (n == 0 || static_cast<std::size_t>(n) < wanted) break;
  }
  if (used > maxSize) return Error{Errc::Corrupt};
  text.resize(used);
  return text;
}

}  // namespace registry
