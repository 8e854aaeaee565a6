#pragma once
// Errors as values for the video layer: a platform call either gives its
// result or says which system error stopped it and where.

#include <string>
#include <variant>

#include "platform/base/expected.h"

namespace video {

struct Error {
  int errnum = 0;  // the errno of the failing call; 0 when it was not a system error
  std::string context;
};

template <typename T>
using Expected = base::Expected<T, Error>;

using Status = Expected<std::monostate>;
inline Status success() {
  return std::monostate{};
}

}  // namespace video
