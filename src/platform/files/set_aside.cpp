#include "platform/files/set_aside.h"

#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace files {
namespace fs = std::filesystem;
namespace {

constexpr int kNameAttempts = 16;

std::error_code lastError() {
  return {errno, std::generic_category()};
}

std::string randomSuffix() {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 engine{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string out(6, '\0');
  for (char& c : out) c = kAlphabet[pick(engine)];
  return out;
}

// rename() that fails with EEXIST instead of replacing `to`. File systems
// without RENAME_NOREPLACE get a hard link, which is exclusive too; one that
// has neither gets a checked rename, racy only against other writers there.
int renameNoReplace(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str());
  if (errno == EEXIST) return -1;
  if (::access(to.c_str(), F_OK) == 0) return errno = EEXIST, -1;
  return ::rename(from.c_str(), to.c_str());
}

}  // namespace

base::Expected<SetAside, std::error_code> SetAside::move(const fs::path& file) {
  const fs::path folder = file.parent_path();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = ".";
    name.append(file.filename().string()).append(".old-").append(randomSuffix());
    fs::path aside = folder / name;
    if (renameNoReplace(file, aside) == 0) return SetAside(file, std::move(aside));
    if (errno != EEXIST) return lastError();
  }
  return std::make_error_code(std::errc::file_exists);
}

SetAside::SetAside(SetAside&& other) noexcept
    : original_(std::move(other.original_)), aside_(std::move(other.aside_)) {
  other.release();
}

SetAside& SetAside::operator=(SetAside&& other) noexcept {
  if (this != &other) {
    if (holdsFile()) static_cast<void>(renameNoReplace(aside_, original_));
    original_ = std::move(other.original_);
    aside_ = std::move(other.aside_);
    other.release();
  }
  return *this;
}

SetAside::~SetAside() {
  if (holdsFile()) static_cast<void>(renameNoReplace(aside_, original_));
}

void SetAside::release() {
  original_.clear();
  aside_.clear();
}

std::error_code SetAside::commit() {
  if (!holdsFile()) return {};
  if (::unlink(aside_.c_str()) != 0 && errno != ENOENT) return lastError();
  release();
  return {};
}

std::error_code SetAside::restore() {
  if (!holdsFile()) return {};
  if (::rename(aside_.c_str(), original_.c_str()) != 0) return lastError();
  release();
  return {};
}

}  // namespace files
