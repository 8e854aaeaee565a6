#pragma once
// Errors as values for picture files: the window that acts decides the
// message; the detail is for the log.

#include <QString>
#include <cassert>
#include <optional>
#include <utility>
#include <variant>

namespace picture {

enum class Errc {
  NoPicture,          // asked to save a picture that holds no bitmap
  FileNotFound,       // nothing (or no regular file) at the path
  UnsupportedFormat,  // the content is not BMP, JPEG or GIF
  InvalidData,        // the content looked right but could not be decoded
  ReadFailed,         // the file exists but could not be opened or read
  WriteFailed,        // the new file could not be written; the old one is untouched
};

struct Error {
  Errc code;
  QString detail;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}      // NOLINT(google-explicit-constructor)
  Result(Error error) : v_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

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
  Result(Error error) : error_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return !error_; }
  explicit operator bool() const { return ok(); }
  const Error& error() const {
    assert(!ok());
    return *error_;
  }

 private:
  std::optional<Error> error_;
};

}  // namespace picture
