#include "platform/files/temp_file.h"

#include <fcntl.h>
#include <stdio.h>  // RENAME_EXCHANGE

#include <cerrno>
#include <random>

#include "platform/files/folder.h"

namespace files {
namespace {

constexpr int kCreateAttempts = 16;
constexpr std::size_t kRandomChars = 12;

}  // namespace

std::string randomFileName(std::string_view prefix) {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 engine{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
  std::string name(prefix);
  for (std::size_t i = 0; i < kRandomChars; ++i) name += kChars[pick(engine)];
  return name;
}

Expected<TempFile> TempFile::create(const std::string& folder, mode_t mode,
                                    std::string_view prefix) {
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::string path = pathIn(folder, randomFileName(prefix));
    auto fd = openFd(path, O_WRONLY | O_CREAT | O_EXCL, mode);
    if (fd) return TempFile(std::move(path), std::move(*fd));
    if (fd.error().code != EEXIST)
      return base::SystemError{fd.error().code, "create a file in " + folder};
  }
  return base::SystemError{EEXIST, "create a file in " + folder};
}

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::move(other.fd_)), committed_(other.committed_) {
  other.committed_ = true;  // the moved-from shell removes nothing
}

TempFile::~TempFile() {
  fd_.reset();
  if (!committed_) syscalls().unlink(path_.c_str());
}

Expected<void> TempFile::write(std::span<const std::uint8_t> bytes) {
  return writeAll(fd_.get(), bytes.data(), bytes.size(), "write " + path_);
}

Expected<void> TempFile::setMode(mode_t mode) {
  if (syscalls().fchmod(fd_.get(), mode) != 0)
    return base::SystemError::fromErrno("set the permissions of " + path_);
  return {};
}

Expected<void> TempFile::sync() {
  return syncFd(fd_.get(), "flush " + path_);
}

Expected<void> TempFile::close() {
  return closeFd(fd_, "close " + path_);
}

Expected<void> TempFile::renameOver(const std::string& target) {
  if (syscalls().rename(path_.c_str(), target.c_str()) != 0)
    return base::SystemError::fromErrno("rename a new file to " + target);
  committed_ = true;
  return {};
}

Expected<void> TempFile::exchangeWith(const std::string& target) {
  if (syscalls().renameat2(path_.c_str(), target.c_str(), RENAME_EXCHANGE) != 0)
    return base::SystemError::fromErrno("exchange a new file with " + target);
  return {};
}

Expected<void> removeStaleTemporaries(const std::string& folder, std::string_view prefix) {
  auto names = folderNames(folder);
  if (!names) return names.error();
  for (const std::string& name : *names) {
    if (name.starts_with(prefix)) syscalls().unlink(pathIn(folder, name).c_str());
  }
  return {};
}

}  // namespace files
