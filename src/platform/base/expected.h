#pragma once
// Errors as values for the platform layer: a call gives its result or the
// error that stopped it. Each layer pairs this with its own error type
// (registry::Result, picture::FileResult, video::Expected); the messages for the
// user are decided by the window that acts. Header only, no Qt.

#include <cassert>
#include <optional>
#include <utility>
#include <variant>

namespace base {

template <class T, class E>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : v_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
  Expected(E error) : v_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

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

  const E& error() const {
    assert(!ok());
    return std::get<1>(v_);
  }

 private:
  std::variant<T, E> v_;
};

// A call with nothing to give back but success or its error.
template <class E>
class [[nodiscard]] Expected<void, E> {
 public:
  Expected() = default;
  Expected(E error) : error_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return !error_; }
  explicit operator bool() const { return ok(); }
  const E& error() const {
    assert(!ok());
    return *error_;
  }

 private:
  std::optional<E> error_;
};

}  // namespace base
