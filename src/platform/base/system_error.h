#pragma once
// The one error type for a failed system call anywhere in the platform layer:
// the errno it gave and what was being done, e.g. "rename user.reg". Layers
// that have causes of their own (a damaged picture, a key that is not there)
// pair those with this type; none invents another way to carry an errno.

#include <cerrno>
#include <cstring>
#include <string>

namespace base {

struct SystemError {
  int code = 0;         // the errno of the failing call
  std::string context;  // what was being done

  // The current errno, with `what` as the context.
  static SystemError fromErrno(std::string what) { return SystemError{errno, std::move(what)}; }

  // "rename user.reg: No space left on device", for logs and the command line.
  std::string message() const {
    if (code == 0) return context;
    return context + ": " + std::strerror(code);
  }
};

}  // namespace base
