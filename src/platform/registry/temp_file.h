#pragma once
// A new, exclusively created file beside the store that becomes the store only
// through commit(); otherwise it is removed when it goes out of scope, so a
// failed write never leaves debris in the user's configuration folder.

#include <string>
#include <string_view>

#include "platform/registry/result.h"
#include "platform/registry/unique_fd.h"

namespace registry {

class TempFile {
 public:
  // `prefix` is a full path prefix, e.g. ".../user.reg.tmp-"; a random suffix
  // follows. Created with O_EXCL and mode 0600.
  static Result<TempFile> create(const std::string& prefix);

  TempFile(TempFile&& other) noexcept;
  TempFile& operator=(TempFile&&) = delete;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile();

  const std::string& path() const { return path_; }

  // Writes all bytes (short writes continued, EINTR retried), flushes them to
  // the disk and closes the descriptor, reporting the first failure.
  Result<void> writeAndSync(std::string_view bytes);
  // Renames the file over `target`; after success it is no longer removed.
  Result<void> commit(const std::string& target);

 private:
  TempFile(std::string path, UniqueFd fd) : path_(std::move(path)), fd_(std::move(fd)) {}
  std::string path_;
  UniqueFd fd_;
  bool committed_ = false;
};

}  // namespace registry
