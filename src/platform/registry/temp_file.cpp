#include "platform/registry/temp_file.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdint>
#include <random>

#include "platform/registry/syscalls.h"

namespace registry {
namespace {

std::string randomSuffix() {
  thread_local std::mt19937_64 engine{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::uint64_t bits = engine();
  std::string text(16, '0');
  for (char& c : text) {
    c = kDigits[bits & 0xF];
    bits >>= 4;
  }
  return text;
}

Result<void> writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = syscalls().write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errnoError(errno);
    }
    // A regular file that accepts nothing is full, whatever errno says.
    if (n == 0) return errnoError(ENOSPC);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

Result<void> syncFd(int fd) {
  while (syscalls().fsync(fd) != 0) {
    if (errno != EINTR) return errnoError(errno);
  }
  return {};
}

}  // namespace

Result<TempFile> TempFile::create(const std::string& prefix) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string path = prefix + randomSuffix();
    auto fd = openFd(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd) return TempFile(std::move(path), std::move(*fd));
    if (fd.error().sysErrno != EEXIST) return fd.error();
  }
  return errnoError(EEXIST);
}

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::move(other.fd_)), committed_(other.committed_) {
  other.committed_ = true;
}

TempFile::~TempFile() {
  fd_.reset();
  if (!committed_ && !path_.empty()) syscalls().unlink(path_.c_str());
}

Result<void> TempFile::writeAndSync(std::string_view bytes) {
  if (auto written = writeAll(fd_.get(), bytes); !written) return written;
  if (auto synced = syncFd(fd_.get()); !synced) return synced;
  return closeFd(fd_);
}

Result<void> TempFile::commit(const std::string& target) {
  if (syscalls().rename(path_.c_str(), target.c_str()) != 0) return errnoError(errno);
  committed_ = true;
  return {};
}

}  // namespace registry
