#pragma once
// Reader of the registry export text format (UTF-8):
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Velmora\Photo]
//   "Path"="/home/x/Resimler"
//   "En"=dword:00000069
//   "Raw"=hex(1):41,00,42,00      (long lists continue on the next
//                                  line after a trailing backslash)
//
// The parser only validates and reports what it sees, as views into the text,
// so a lookup can scan the file without building anything; decoding is left
// to the functions below. Blank lines and lines starting with ';' are
// skipped. An empty file is a valid, empty store. Anything else that does not
// follow the format makes the whole file invalid: the store then treats it as
// damaged rather than guessing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/expected.h"
#include "platform/registry/value.h"

namespace registry {

inline constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

enum class DataForm { Quoted, Dword, Hex };

struct RawValue {
  std::string_view name;  // still escaped; empty for the default value '@'
  bool isDefault = false;
  DataForm form = DataForm::Quoted;
  std::uint32_t type = REG_SZ;
  // Quoted: the escaped text between the quotes. Dword: the hex digits.
  // Hex: the byte list, continuation lines already joined.
  std::string_view data;
};

class ParseSink {
 public:
  virtual ~ParseSink() = default;
  // `path` is the text between the brackets, root included. Returning false
  // stops the scan early (the rest of the file is then not validated).
  virtual bool section(std::string_view path) = 0;
  // Views are valid only during the call.
  virtual bool value(const RawValue& value) = 0;
};

struct ParseError {
  std::size_t line = 0;  // 1-based
  std::string reason;
};

using ParseResult = base::Expected<void, ParseError>;

// Scans `text`, calling `sink` for each section and value in order; the
// first line that breaks the format ends the scan with its error.
ParseResult parseRegText(std::string_view text, ParseSink& sink);

// Decoding of what the parser has validated.
std::string unescapeQuoted(std::string_view escaped);
Value decodeValue(const RawValue& raw);

}  // namespace registry
