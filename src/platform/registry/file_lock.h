#pragma once
// An exclusive lock on a small file beside the store, held while one process
// re-reads, changes and replaces the store. flock() rather than fcntl() locks:
// fcntl locks belong to the process and vanish when ANY descriptor of the file
// is closed, which another part of the program could do at any time.

#include <string>

#include "platform/files/syscalls.h"
#include "platform/registry/result.h"

namespace registry {

class FileLock {
 public:
  // Creates the lock file (0600) when needed and waits for the lock, without
  // a time limit: a writer holds it only for the length of one write. A lock
  // path that holds anything but a regular file (a pipe, a folder) is an
  // error, never waited on.
  static Result<FileLock> acquire(const std::string& lockPath);

  FileLock(FileLock&&) noexcept = default;
  FileLock& operator=(FileLock&&) noexcept = default;
  ~FileLock();

 private:
  explicit FileLock(files::Fd fd) : fd_(std::move(fd)) {}
  files::Fd fd_;
};

}  // namespace registry
