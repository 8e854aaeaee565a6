#include "platform/registry/syscalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>

namespace registry {
namespace {

// open is variadic in the C library; a fixed signature keeps the table uniform.
int openFile(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

const Syscalls kReal{
    &openFile, &::close,  &::read,  &::write, &::fstat,  &::fsync,
    &::rename, &::unlink, &::mkdir, &::flock, &::access,
};

}  // namespace

const Syscalls& realSyscalls() {
  return kReal;
}

Syscalls& syscalls() {
  static Syscalls table = kReal;
  return table;
}

}  // namespace registry
