#include "platform/imaging/file_syscalls.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace imaging {
namespace {

int realOpen(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

int realExchange(const char* a, const char* b) {
  return ::renameat2(AT_FDCWD, a, AT_FDCWD, b, RENAME_EXCHANGE);
}

constexpr FileSyscalls kReal{realOpen, ::close, ::read,   ::write,      ::fstat,
                             ::fchmod, ::fsync, ::rename, realExchange, ::unlink};

}  // namespace

FileSyscalls& fileSyscalls() {
  static FileSyscalls table = kReal;
  return table;
}

const FileSyscalls& realFileSyscalls() {
  return kReal;
}

}  // namespace imaging
