#pragma once
// An exclusive lock on a small file beside the store, held while one process
// re-reads, changes and replaces the store. flock() rather than fcntl() locks:
// fcntl locks belong to the process and vanish when ANY descriptor of the file
// is closed, which another part of the program could do at any time.

#include <string>

#include "platform/registry/result.h"
#include "platform/registry/unique_fd.h"

namespace registry {

class FileLock {
 public:
  // Creates the lock file (0600) when needed and waits for the lock, without
  // a time limit: a writer holds it only for the length of one write.
  static Result<FileLock> acquire(const std::string& lockPath);

  FileLock(FileLock&&) noexcept = default;
  FileLock& operator=(FileLock&&) noexcept = default;
  ~FileLock();

 private:
  explicit FileLock(UniqueFd fd) : fd_(std::move(fd)) {}
  UniqueFd fd_;
};

}  // namespace registry
