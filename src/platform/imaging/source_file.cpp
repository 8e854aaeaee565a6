#include "platform/imaging/source_file.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/imaging/file_syscalls.h"

namespace imaging {
namespace {

ImageError openError(int error) {
  return error == ENOENT || error == ENOTDIR ? ImageError::SourceMissing
                                             : ImageError::SourceUnreadable;
}

Result<void> readAll(int fd, ByteBuffer& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = fileSyscalls().read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ImageError::SourceUnreadable;
    if (n == 0) break;  // shrank while we read: take what is there
    done += static_cast<std::size_t>(n);
  }
  bytes.shrink(done);
  return {};
}

}  // namespace

Result<ByteBuffer> readSourceFile(const std::string& path) {
  if (path.empty()) return ImageError::SourceMissing;
  // Non-blocking so that a FIFO named as the source cannot hang the call.
  Fd fd(fileSyscalls().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0));
  if (!fd.valid()) return openError(errno);
  struct stat st {};
  if (fileSyscalls().fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
    return ImageError::SourceUnreadable;
  if (st.st_size > kMaxSourceBytes) return ImageError::TooLarge;
  auto bytes = ByteBuffer::allocate(static_cast<std::size_t>(st.st_size));
  if (!bytes) return bytes.error();
  if (auto read = readAll(fd.get(), *bytes); !read) return read.error();
  return bytes;
}

}  // namespace imaging
