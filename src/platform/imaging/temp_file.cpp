#include "platform/imaging/temp_file.h"

#include <fcntl.h>

#include <cerrno>
#include <random>

namespace imaging {
namespace {

constexpr int kCreateAttempts = 64;

std::string randomSuffix() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 engine{std::random_device{}()};
  std::uniform_int_distribution<int> pick(0, sizeof(kChars) - 2);
  std::string s(8, 'x');
  for (char& c : s) c = kChars[pick(engine)];
  return s;
}

}  // namespace

Result<TempFile> TempFile::create(const std::string& dir, const std::string& name) {
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::string path = dir;
    path += "/.";
    path += name;
    path += ".tmp-";
    path += randomSuffix();
    Fd fd(fileSyscalls().open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.valid()) return TempFile(std::move(path), std::move(fd));
    if (errno != EEXIST) break;
  }
  return ImageError::TargetNotWritable;
}

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::move(other.fd_)), committed_(other.committed_) {
  other.committed_ = true;  // the moved-from shell removes nothing
}

TempFile::~TempFile() {
  fd_.reset();
  if (!committed_) fileSyscalls().unlink(path_.c_str());
}

Result<void> TempFile::writeAll(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = fileSyscalls().write(fd_.get(), bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return ImageError::TargetNotWritable;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return {};
}

Result<void> TempFile::writeWithoutSync(std::span<const std::uint8_t> bytes) {
  if (auto written = writeAll(bytes); !written) return written;
  if (fd_.closeNow() != 0) return ImageError::TargetNotWritable;
  return {};
}

Result<void> TempFile::writeAndSync(std::span<const std::uint8_t> bytes,
                                    std::optional<mode_t> mode) {
  if (auto written = writeAll(bytes); !written) return written;
  if (mode && fileSyscalls().fchmod(fd_.get(), *mode) != 0) return ImageError::TargetNotWritable;
  if (fileSyscalls().fsync(fd_.get()) != 0) return ImageError::TargetNotWritable;
  if (fd_.closeNow() != 0) return ImageError::TargetNotWritable;
  return {};
}

Result<void> TempFile::commit(const std::string& target) {
  if (fileSyscalls().rename(path_.c_str(), target.c_str()) != 0)
    return ImageError::TargetNotWritable;
  committed_ = true;
  return {};
}

bool TempFile::swapWith(const std::string& target) {
  return fileSyscalls().exchange(path_.c_str(), target.c_str()) == 0;
}

}  // namespace imaging
