#pragma once
// Errors as values for the video layer: a platform call either gives its
// result or says which system error stopped it and where.

#include <string>
#include <utility>
#include <variant>

namespace video {

struct Error {
  int errnum = 0;  // the errno of the failing call; 0 when it was not a system error
  std::string context;
};

template <typename T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : state_(std::move(value)) {}
  Expected(Error error) : state_(std::move(error)) {}

  explicit operator bool() const { return std::holds_alternative<T>(state_); }
  T& operator*() { return std::get<T>(state_); }
  const T& operator*() const { return std::get<T>(state_); }
  T* operator->() { return &std::get<T>(state_); }
  const T* operator->() const { return &std::get<T>(state_); }
  const Error& error() const { return std::get<Error>(state_); }

 private:
  std::variant<T, Error> state_;
};

using Status = Expected<std::monostate>;
inline Status success() {
  return std::monostate{};
}

}  // namespace video
