#pragma once
// Errors as values for the store: every failure carries its kind and, when a
// system call caused it, that call's error.

#include "platform/base/expected.h"
#include "platform/base/system_error.h"

namespace registry {

enum class Errc {
  NotFound,     // key or value absent, or no store file yet
  InvalidName,  // a key path or value name the file cannot carry
  MoreData,     // the caller's buffer is smaller than the value
  Corrupt,      // the store file cannot be parsed (or is absurdly large)
  Io,           // a system call failed, or the file may not be written; see cause
  NoStore,      // no place for the store could be determined
};

struct Error {
  Errc code{};
  base::SystemError cause{};  // for Io: the call that failed (errno and what was done)
};

const char* describe(Errc code);

template <class T>
using Result = base::Expected<T, Error>;

inline Error ioError(base::SystemError cause) {
  return Error{Errc::Io, std::move(cause)};
}

}  // namespace registry
