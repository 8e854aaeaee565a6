#include "platform/registry/document.h"

#include <unordered_map>

#include "platform/files/case_fold.h"

namespace registry {
using files::foldCase;

namespace {

bool isAtOrBelow(std::string_view folded, std::string_view foldedKey) {
  return folded.size() >= foldedKey.size() && folded.compare(0, foldedKey.size(), foldedKey) == 0 &&
         (folded.size() == foldedKey.size() || folded[foldedKey.size()] == '\\');
}

std::size_t componentCount(std::string_view path) {
  std::size_t count = 1;
  for (char c : path) count += c == '\\' ? 1 : 0;
  return count;
}

// The first `count` components of `path`.
std::string_view leadingComponents(std::string_view path, std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t i = 0; i < count; ++i) {
    pos = path.find('\\', pos);
    if (pos == std::string_view::npos) return path;
    if (i + 1 < count) ++pos;
  }
  return path.substr(0, pos);
}

Entry* findEntry(Section& section, std::string_view foldedName) {
  for (auto& entry : section.entries) {
    if (entry.folded == foldedName) return &entry;
  }
  return nullptr;
}

}  // namespace

// Collects the parser's events; repeated sections merge into the first and a
// repeated value replaces the earlier one in place, as an import would. The
// indexes keep a file of many values linear to read.
class DocumentBuilder final : public ParseSink {
 public:
  explicit DocumentBuilder(Document& doc) : doc_(doc) {}

  bool section(std::string_view path) override {
    std::string folded = foldCase(path);
    const auto [it, added] = sectionIndex_.try_emplace(folded, doc_.sections_.size());
    if (added) doc_.sections_.push_back(Section{std::string(path), std::move(folded), {}});
    current_ = it->second;
    return true;
  }

  bool value(const RawValue& raw) override {
    std::string name = raw.isDefault ? std::string() : unescapeQuoted(raw.name);
    std::string folded = foldCase(name);
    Section& section = doc_.sections_[current_];
    const auto [it, added] =
        entryIndex_.try_emplace(std::to_string(current_) + '\\' + folded, section.entries.size());
    if (added) {
      section.entries.push_back(Entry{std::move(name), std::move(folded), decodeValue(raw)});
    } else {
      section.entries[it->second].value = decodeValue(raw);
    }
    return true;
  }

 private:
  Document& doc_;
  std::size_t current_ = 0;
  std::unordered_map<std::string, std::size_t> sectionIndex_;
  std::unordered_map<std::string, std::size_t> entryIndex_;
};

base::Expected<Document, ParseError> Document::parse(std::string_view text) {
  Document doc;
  DocumentBuilder builder(doc);
  if (auto parsed = parseRegText(text, builder); !parsed) return parsed.error();
  return doc;
}

Section* Document::findSection(std::string_view folded) {
  for (auto& section : sections_) {
    if (section.folded == folded) return &section;
  }
  return nullptr;
}

bool Document::hasKey(std::string_view fullPath) const {
  const std::string folded = foldCase(fullPath);
  for (const auto& section : sections_) {
    if (isAtOrBelow(section.folded, folded)) return true;
  }
  return false;
}

const Value* Document::find(std::string_view fullPath, std::string_view name) const {
  const std::string folded = foldCase(fullPath);
  const std::string foldedName = foldCase(name);
  for (const auto& section : sections_) {
    if (section.folded != folded) continue;
    for (const auto& entry : section.entries) {
      if (entry.folded == foldedName) return &entry.value;
    }
  }
  return nullptr;
}

// Levels that already exist keep their spelling; only new levels take the
// caller's.
std::string Document::spellingOf(std::string_view fullPath) const {
  const std::string folded = foldCase(fullPath);
  const std::size_t levels = componentCount(fullPath);
  std::string best(fullPath);
  std::size_t bestLevels = 0;
  for (const auto& section : sections_) {
    for (std::size_t n = std::min(levels, componentCount(section.path)); n > bestLevels; --n) {
      const std::string_view prefix = leadingComponents(section.folded, n);
      if (prefix != leadingComponents(folded, n)) continue;
      best = std::string(leadingComponents(section.path, n)) +
             std::string(fullPath.substr(leadingComponents(fullPath, n).size()));
      bestLevels = n;
      break;
    }
  }
  return best;
}

// A new section goes before the sections below it, if any, or else after the
// last section of its parent's subtree, so the file stays readable as a tree.
std::size_t Document::insertionPoint(std::string_view folded, std::string_view foldedParent) const {
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (isAtOrBelow(sections_[i].folded, folded)) return i;
  }
  std::size_t point = sections_.size();
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (isAtOrBelow(sections_[i].folded, foldedParent)) point = i + 1;
  }
  return point;
}

bool Document::createKey(std::string_view fullPath) {
  const std::string spelled = spellingOf(fullPath);
  bool added = false;
  const std::size_t levels = componentCount(spelled);
  for (std::size_t n = 1; n <= levels; ++n) {
    const std::string_view path = leadingComponents(spelled, n);
    std::string folded = foldCase(path);
    // Levels above the key only need to exist (a section below them is
    // enough, and the root always does); the key itself needs a section to
    // hold its values.
    if (n < levels && (n == 1 || hasKey(path))) continue;
    if (findSection(folded)) continue;
    const std::size_t at = insertionPoint(folded, leadingComponents(folded, n - 1));
    sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(at),
                     Section{std::string(path), std::move(folded), {}});
    added = true;
  }
  return added;
}

bool Document::setValue(std::string_view fullPath, std::string_view name, const Value& value) {
  bool changed = createKey(fullPath);
  Section* section = findSection(foldCase(fullPath));
  std::string foldedName = foldCase(name);
  if (Entry* entry = findEntry(*section, foldedName)) {
    if (entry->value == value) return changed;
    entry->value = value;
    return true;
  }
  section->entries.push_back(Entry{std::string(name), std::move(foldedName), value});
  return true;
}

}  // namespace registry
