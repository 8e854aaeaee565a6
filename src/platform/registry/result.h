#pragma once
// Errors as values for the store: every failure carries its kind and, when a
// system call caused it, the errno it returned.

#include <cassert>
#include <optional>
#include <utility>
#include <variant>

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
  Errc code;
  int sysErrno = 0;
};

const char* describe(Errc code);

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Error error) : v_(error) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& operator*() & {
    assert(ok());
    return std::get<0>(v_);
  }
  const T& operator*() const& {
    assert(ok());
    return std::get<0>(v_);
  }
  T&& operator*() && {
    assert(ok());
    return std::get<0>(std::move(v_));
  }
  T* operator->() { return &**this; }
  const T* operator->() const { return &**this; }

  const Error& error() const {
    assert(!ok());
    return std::get<1>(v_);
  }

 private:
  std::variant<T, Error> v_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(error) {}

  bool ok() const { return !error_; }
  explicit operator bool() const { return ok(); }
  const Error& error() const {
    assert(!ok());
    return *error_;
  }

 private:
  std::optional<Error> error_;
};

inline Error errnoError(int err) {
  return Error{Errc::Io, err};
}

}  // namespace registry
