#pragma once
// A new file created exclusively in the folder of the file it will replace.
// It becomes that file only through renameOver() or exchangeWith(); in every
// other case it is removed when it goes out of scope, so a failed write
// leaves nothing behind in the user's folder.
//
// Its name is short and hidden: a fixed prefix and twelve random letters and
// digits, whatever the target is called, so that a target whose own name is
// as long as the file system allows can still be replaced.

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/files/syscalls.h"

namespace files {

// The prefix of temporary files written for the program's pictures.
inline constexpr std::string_view kTempPrefix = ".tandeo-tmp-";

// `prefix` followed by twelve random letters and digits.
std::string randomFileName(std::string_view prefix);

class TempFile {
 public:
  // Created with O_EXCL and `mode` (less the umask) in `folder`.
  static Expected<TempFile> create(const std::string& folder, mode_t mode,
                                   std::string_view prefix = kTempPrefix);

  TempFile(TempFile&& other) noexcept;
  TempFile& operator=(TempFile&&) = delete;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile();

  const std::string& path() const { return path_; }

  Expected<void> write(std::span<const std::uint8_t> bytes);
  Expected<void> setMode(mode_t mode);
  Expected<void> sync();
  // Closes the descriptor, reporting what close() said.
  Expected<void> close();

  // Renames the file over `target`; afterwards it is no longer removed.
  Expected<void> renameOver(const std::string& target);
  // Trades places with the existing `target` in one step: the new file is
  // then the target, and this object holds (and in the end removes) the old
  // one. Fails without a change where the file system cannot exchange.
  Expected<void> exchangeWith(const std::string& target);

 private:
  TempFile(std::string path, Fd fd) : path_(std::move(path)), fd_(std::move(fd)) {}

  std::string path_;
  Fd fd_;
  bool committed_ = false;
};

// Removes the temporary files with `prefix` in `folder` that a writer killed
// mid-write left behind. Only safe while no one else may be writing one
// there (the settings store holds its lock).
Expected<void> removeStaleTemporaries(const std::string& folder, std::string_view prefix);

}  // namespace files
