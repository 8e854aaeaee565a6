#include "platform/files/copy.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <limits>

#include "platform/files/folder.h"
#include "platform/files/read_file.h"
#include "platform/files/replace.h"
#include "platform/files/temp_file.h"

namespace files {
namespace {

// Large enough that a photo takes a handful of reads, small enough for the stack.
constexpr std::size_t kChunk = 64 * 1024;

Expected<void> copyBytes(RegularFile& source, TempFile& copy) {
  std::array<std::uint8_t, kChunk> buffer{};
  for (;;) {
    auto got = source.read(buffer);
    if (!got) return got.error().cause;
    if (*got == 0) return {};
    if (auto written = copy.write(std::span(buffer.data(), *got)); !written) return written;
  }
}

}  // namespace

Expected<void> copyFile(const std::string& from, const std::string& to) {
  auto source = RegularFile::open(from, std::numeric_limits<std::uint64_t>::max());
  if (!source) return source.error().cause;
  auto target = writableTarget(to);
  if (!target) return target.error();
  auto copy = TempFile::create(parentFolder(*target), 0666);
  if (!copy) return copy.error();
  if (auto done = copyBytes(*source, *copy); !done) return done;
  if (auto done = copy->sync(); !done) return done;
  if (auto done = copy->close(); !done) return done;
  if (auto done = copy->renameOver(*target); !done) return done;
  return syncFolder(parentFolder(*target));
}

Expected<std::uint64_t> fileLength(const std::string& path) {
  struct stat st {};
  if (syscalls().stat(path.c_str(), &st) != 0)
    return base::SystemError::fromErrno("look at " + path);
  if (S_ISDIR(st.st_mode)) return base::SystemError{EISDIR, path + " is a folder"};
  if (!S_ISREG(st.st_mode)) return base::SystemError{EINVAL, path + " is not a regular file"};
  return static_cast<std::uint64_t>(st.st_size);
}

}  // namespace files
