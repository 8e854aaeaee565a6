#pragma once
// Errors as values for the store: every failure carries its kind and, when a
// system call caused it, the errno it returned.

#include "platform/base/expected.h"

namespace registry {

enum class Errc {
  NotFound,     // key or value absent, or no store file yet
  InvalidName,  // a key path or value name the file cannot carry
  MoreData,     // the caller's buffer is smaller than the value
  Corrupt,      // the store file cannot be parsed (or is absurdly large)
  Io,           // a system call failed; see sysErrno
  NoStore,      // no place for the store could be determined
};

struct Error {
  Errc code{};
  int sysErrno = 0;
};

const char* describe(Errc code);

template <class T>
using Result = base::Expected<T, Error>;

inline Error errnoError(int err) {
  return Error{Errc::Io, err};
}

}  // namespace registry
