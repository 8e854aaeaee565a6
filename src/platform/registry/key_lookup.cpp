#include "platform/registry/key_lookup.h"

#include "platform/files/case_fold.h"

namespace registry {
using files::foldCase;
using files::foldInto;

KeyLookup::KeyLookup(std::string_view fullPath, std::optional<std::string_view> valueName)
    : foldedPath_(foldCase(fullPath)) {
  if (valueName) foldedName_ = foldCase(*valueName);
}

namespace {

bool isAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Compares without copying: the names met in practice are plain ASCII, and
// for ASCII folding is lower-casing in place.
bool asciiMatchesFolded(std::string_view raw, std::string_view folded) {
  if (raw.size() != folded.size()) return false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != folded[i]) return false;
  }
  return true;
}

bool matchesFolded(std::string_view raw, std::string_view folded, std::string& scratch) {
  if (isAscii(raw)) return asciiMatchesFolded(raw, folded);
  return foldInto(raw, scratch) == folded;
}

}  // namespace

bool KeyLookup::section(std::string_view path) {
  std::string_view candidate = path;
  if (!isAscii(path)) candidate = foldInto(path, scratch_);
  const std::size_t n = foldedPath_.size();
  inKey_ = matchesFolded(candidate, foldedPath_, scratch_);
  const bool below = candidate.size() > n && candidate[n] == '\\' &&
                     matchesFolded(candidate.substr(0, n), foldedPath_, scratch_);
  keyFound_ = keyFound_ || inKey_ || below;
  return true;
}

bool KeyLookup::value(const RawValue& raw) {
  if (!inKey_ || !foldedName_) return true;
  std::string_view name = raw.name;
  if (name.find('\\') != std::string_view::npos) {
    nameScratch_ = unescapeQuoted(name);
    name = nameScratch_;
  }
  // A value named twice counts with its last occurrence, as on import.
  if (matchesFolded(name, *foldedName_, scratch_)) value_ = decodeValue(raw);
  return true;
}

}  // namespace registry
