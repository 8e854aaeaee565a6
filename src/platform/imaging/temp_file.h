#pragma once
// A new file created exclusively beside its target. It becomes the target only
// through commit(); in every other case it is removed when it goes out of
// scope, so a failed conversion leaves nothing behind in the user's folder.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/imaging/file_syscalls.h"
#include "platform/imaging/image_error.h"

namespace imaging {

class TempFile {
 public:
  // A hidden name in `dir` built from `name` plus a random suffix, O_EXCL.
  static Result<TempFile> create(const std::string& dir, const std::string& name);

  TempFile(TempFile&& other) noexcept;
  TempFile& operator=(TempFile&&) = delete;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile();

  const std::string& path() const { return path_; }

  // Writes every byte (short writes continued, EINTR retried), gives the file
  // `mode` if one is given (else it keeps 0666 less the umask), flushes it to
  // the disk and closes it.
  Result<void> writeAndSync(std::span<const std::uint8_t> bytes, std::optional<mode_t> mode);
  // The same without the flush: for a scratch file nobody needs after a
  // power cut.
  Result<void> writeWithoutSync(std::span<const std::uint8_t> bytes);
  // Renames the file over `target`; afterwards it is no longer removed.
  Result<void> commit(const std::string& target);
  // Trades places with the existing file `target`: the new file is then the
  // target, and this object holds (and in the end removes) the old one.
  // False with errno set when the two could not be swapped.
  bool swapWith(const std::string& target);

 private:
  TempFile(std::string path, Fd fd) : path_(std::move(path)), fd_(std::move(fd)) {}
  Result<void> writeAll(std::span<const std::uint8_t> bytes);

  std::string path_;
  Fd fd_;
  bool committed_ = false;
};

}  // namespace imaging
