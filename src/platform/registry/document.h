#pragma once
// The whole content of one store file, in file order, as the writer needs it:
// every key section and value, of any root and type, is kept so that changing
// one value rewrites everything else as it was. Names are matched without
// regard to case and keep the spelling they were first written with.

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/reg_parser.h"
#include "platform/registry/value.h"

namespace registry {

struct Entry {
  std::string name;  // empty for the default value
  std::string folded;
  Value value;
};

struct Section {
  std::string path;  // full path, root included, e.g. "HKEY_CURRENT_USER\Velmora"
  std::string folded;
  std::vector<Entry> entries;
};

class Document {
 public:
  static base::Expected<Document, ParseError> parse(std::string_view text);

  const std::vector<Section>& sections() const { return sections_; }

  // A key exists when it has a section of its own or one below it.
  bool hasKey(std::string_view fullPath) const;
  const Value* find(std::string_view fullPath, std::string_view name) const;

  // Adds the missing levels of `fullPath`, whose first component is the root,
  // each as a section of its own, and a section for the key itself; true when
  // something was added.
  bool createKey(std::string_view fullPath);
  // Creates the key when needed; true when the document changed.
  bool setValue(std::string_view fullPath, std::string_view name, const Value& value);

 private:
  Section* findSection(std::string_view folded);
  std::string spellingOf(std::string_view fullPath) const;
  std::size_t insertionPoint(std::string_view folded, std::string_view foldedParent) const;

  friend class DocumentBuilder;
  std::vector<Section> sections_;
};

}  // namespace registry
