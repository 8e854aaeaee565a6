#include "platform/files/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace files {
namespace {

ReadFailure failureOfOpen(int error) {
  if (error == ENOENT || error == ENOTDIR) return ReadFailure::Missing;
  if (error == ELOOP || error == EISDIR || error == ENXIO) return ReadFailure::NotAFile;
  return ReadFailure::SystemCall;
}

ReadError tooLarge(const std::string& path, std::uint64_t maxSize) {
  return {ReadFailure::TooLarge, base::SystemError{EFBIG, "read " + path + " (over " +
                                                              std::to_string(maxSize) + " bytes)"}};
}

struct Opened {
  Fd fd;
  std::size_t size = 0;
};

ReadResult<Opened> openRegular(const std::string& path, std::uint64_t maxSize) {
  // Non-blocking: opening a FIFO for reading would otherwise wait for a writer.
  auto fd = openFd(path, O_RDONLY | O_NOCTTY | O_NONBLOCK, 0);
  if (!fd) return ReadError{failureOfOpen(fd.error().code), fd.error()};
  struct stat st {};
  if (syscalls().fstat(fd->get(), &st) != 0)
    return ReadError{ReadFailure::SystemCall, base::SystemError::fromErrno("look at " + path)};
  if (!S_ISREG(st.st_mode))
    return ReadError{ReadFailure::NotAFile, base::SystemError{0, path + " is not a regular file"}};
  if (static_cast<std::uint64_t>(st.st_size) > maxSize) return tooLarge(path, maxSize);
  return Opened{std::move(*fd), static_cast<std::size_t>(st.st_size)};
}

// Reads into `buffer` from `offset` on, which it advances; `size` is the
// file's size when it was opened.
ReadResult<std::size_t> readInto(int fd, const std::string& path, std::size_t size,
                                 std::size_t& offset, std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const std::size_t asked = buffer.size() - done;
    const ssize_t n = syscalls().read(fd, buffer.data() + done, asked);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      return ReadError{ReadFailure::SystemCall, base::SystemError::fromErrno("read " + path)};
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
    offset += static_cast<std::size_t>(n);
    // Less than asked once the size seen at opening is reached: the end of a
    // regular file. Not asking again spares a read() on every lookup.
    if (static_cast<std::size_t>(n) < asked && offset >= size) break;
  }
  return done;
}

}  // namespace

ReadResult<RegularFile> RegularFile::open(const std::string& path, std::uint64_t maxSize) {
  auto opened = openRegular(path, maxSize);
  if (!opened) return opened.error();
  return RegularFile(path, std::move(opened->fd), opened->size);
}

ReadResult<std::size_t> RegularFile::read(std::span<std::uint8_t> buffer) {
  return readInto(fd_.get(), path_, size_, offset_, buffer);
}

ReadResult<std::string> readWholeFile(const std::string& path, std::size_t maxSize) {
  auto file = openRegular(path, maxSize);
  if (!file) return file.error();
  // One byte more than the size reported: a read that stops short of it has
  // met the end of the file.
  std::string text(file->size + 1, '\0');
  std::size_t used = 0;
  for (;;) {
    auto* free = reinterpret_cast<std::uint8_t*>(text.data()) + used;
    auto got = readInto(file->fd.get(), path, file->size, used, {free, text.size() - used});
    if (!got) return got.error();
    if (used < text.size()) break;
    if (used > maxSize) return tooLarge(path, maxSize);
    text.resize(std::min(text.size() * 2, maxSize + 1));
  }
  text.resize(used);
  return text;
}

}  // namespace files
