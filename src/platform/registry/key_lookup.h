#pragma once
// Finds one key, and optionally one value in it, while the parser validates
// the whole file, without building the document: a read touches only what it
// is looking for.

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/reg_parser.h"
#include "platform/registry/value.h"

namespace registry {

class KeyLookup final : public ParseSink {
 public:
  // `fullPath` root included; `valueName` absent when only the key matters.
  KeyLookup(std::string_view fullPath, std::optional<std::string_view> valueName);

  bool section(std::string_view path) override;
  bool value(const RawValue& raw) override;

  bool keyFound() const { return keyFound_; }
  const std::optional<Value>& found() const { return value_; }
  std::optional<Value> takeFound() { return std::move(value_); }

 private:
  std::string foldedPath_;
  std::optional<std::string> foldedName_;
  bool inKey_ = false;
  bool keyFound_ = false;
  std::optional<Value> value_;
  std::string scratch_;
  std::string nameScratch_;
};

}  // namespace registry
