#pragma once
// Reading a whole file safely. Only a regular file is read: a named pipe, a
// socket or a device named where a file is expected is refused without ever
// blocking (opened with O_NONBLOCK and looked at before a byte is read), and
// a file over a size limit is refused before anything is allocated for it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/files/syscalls.h"

namespace files {

enum class ReadFailure {
  Missing,     // nothing there: no such file or folder, or a link that dangles
  NotAFile,    // a folder, pipe, socket or device, or a link that loops
  TooLarge,    // over the caller's limit
  SystemCall,  // it is there but could not be opened or read (EACCES, EIO, ...)
};

struct ReadError {
  ReadFailure failure;
  base::SystemError cause;  // the call that failed, or what was refused
};

template <class T>
using ReadResult = base::Expected<T, ReadError>;

// A regular file open for reading.
class RegularFile {
 public:
  static ReadResult<RegularFile> open(const std::string& path, std::uint64_t maxSize);

  // The size when it was opened.
  std::size_t size() const { return size_; }
  // Reads on until `buffer` is full or the file ends (short reads before the
  // size seen at opening continued, EINTR retried); how many bytes were read.
  ReadResult<std::size_t> read(std::span<std::uint8_t> buffer);

 private:
  RegularFile(std::string path, Fd fd, std::size_t size)
      : path_(std::move(path)), fd_(std::move(fd)), size_(size) {}

  std::string path_;
  Fd fd_;
  std::size_t size_ = 0;
  std::size_t offset_ = 0;  // bytes read so far
};

// The whole file, however it changed since it was opened (a file that grows
// while it is read is read on, up to the limit).
ReadResult<std::string> readWholeFile(const std::string& path, std::size_t maxSize);

}  // namespace files
