#include "platform/registry/reg_parser.h"

#include <algorithm>
#include <array>

namespace registry {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

constexpr auto kHexDigits = [] {
  std::array<signed char, 256> table{};
  for (auto& entry : table) entry = -1;
  for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<signed char>(i);
  for (int i = 0; i < 6; ++i) {
    table['a' + i] = static_cast<signed char>(10 + i);
    table['A' + i] = static_cast<signed char>(10 + i);
  }
  return table;
}();

int hexDigit(char c) {
  return kHexDigits[static_cast<unsigned char>(c)];
}

std::string_view trimLeft(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view trimRight(std::string_view s) {
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != prefix[i]) return false;
  }
  return true;
}

// Hands out physical lines, without their line break (LF or CRLF).
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', pos_);
    const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
    line = text_.substr(pos_, stop - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = stop + 1;
    ++number_;
    return true;
  }
  std::size_t number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t number_ = 0;
};

// Reads a quoted string starting just after its opening quote; on success
// `escaped` is its content and `rest` what follows the closing quote.
bool scanQuoted(std::string_view s, std::string_view& escaped, std::string_view& rest) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\') {
      if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
      ++i;
    } else if (s[i] == '"') {
      escaped = s.substr(0, i);
      rest = s.substr(i + 1);
      return true;
    }
  }
  return false;
}

bool validHexList(std::string_view s) {
  s = trimLeft(s);
  while (!s.empty()) {
    if (s.size() < 2 || hexDigit(s[0]) < 0 || hexDigit(s[1]) < 0) return false;
    s = trimLeft(s.substr(2));
    if (s.empty()) return true;
    if (s.front() != ',') return false;
    s = trimLeft(s.substr(1));
  }
  return true;
}

bool parseHexNumber(std::string_view digits, std::uint32_t& out) {
  if (digits.empty() || digits.size() > 8) return false;
  out = 0;
  for (char c : digits) {
    const int d = hexDigit(c);
    if (d < 0) return false;
    out = (out << 4) | static_cast<std::uint32_t>(d);
  }
  return true;
}

class LineParser {
 public:
  LineParser(Lines& lines, ParseSink& sink) : lines_(lines), sink_(sink) {}

  ParseResult run();

 private:
  ParseResult fail(std::string reason) const {
    return ParseError{lines_.number(), std::move(reason)};
  }
  ParseResult sectionLine(std::string_view line);
  ParseResult valueLine(std::string_view line);
  ParseResult dataPart(std::string_view data, RawValue& raw);
  ParseResult hexPart(std::string_view data, RawValue& raw);

  Lines& lines_;
  ParseSink& sink_;
  bool inSection_ = false;
  bool stopped_ = false;
  std::string joined_;
};

ParseResult LineParser::run() {
  std::string_view line;
  while (!stopped_ && lines_.next(line)) {
    const std::string_view body = trimLeft(line);
    if (trimRight(body).empty() || body.front() == ';') continue;
    auto parsed = body.front() == '[' ? sectionLine(body) : valueLine(body);
    if (!parsed) return parsed;
  }
  return {};
}

ParseResult LineParser::sectionLine(std::string_view line) {
  line = trimRight(line);
  if (line.back() != ']' || line.size() < 3) return fail("key line without its closing bracket");
  inSection_ = true;
  stopped_ = !sink_.section(line.substr(1, line.size() - 2));
  return {};
}

ParseResult LineParser::valueLine(std::string_view line) {
  if (!inSection_) return fail("value outside of any key");
  RawValue raw;
  std::string_view rest;
  if (line.front() == '@') {
    raw.isDefault = true;
    rest = line.substr(1);
  } else if (line.front() != '"' || !scanQuoted(line.substr(1), raw.name, rest)) {
    return fail("value name is not a quoted text");
  }
  rest = trimLeft(rest);
  if (rest.empty() || rest.front() != '=') return fail("value name not followed by '='");
  if (auto data = dataPart(trimLeft(rest.substr(1)), raw); !data) return data;
  stopped_ = !sink_.value(raw);
  return {};
}

ParseResult LineParser::dataPart(std::string_view data, RawValue& raw) {
  if (!data.empty() && data.front() == '"') {
    std::string_view rest;
    if (!scanQuoted(data.substr(1), raw.data, rest) || !trimRight(rest).empty()) {
      return fail("text value not closed by a quote at the end of the line");
    }
    raw.form = DataForm::Quoted;
    raw.type = REG_SZ;
    return {};
  }
  if (startsWithNoCase(data, "dword:")) {
    raw.data = trimRight(data.substr(6));
    raw.form = DataForm::Dword;
    raw.type = REG_DWORD;
    std::uint32_t ignored = 0;
    if (!parseHexNumber(raw.data, ignored)) return fail("dword value is not 1 to 8 hex digits");
    return {};
  }
  if (startsWithNoCase(data, "hex")) return hexPart(data.substr(3), raw);
  return fail("unknown value form");
}

ParseResult LineParser::hexPart(std::string_view data, RawValue& raw) {
  raw.form = DataForm::Hex;
  raw.type = REG_BINARY;
  if (!data.empty() && data.front() == '(') {
    const std::size_t close = data.find(')');
    if (close == std::string_view::npos || !parseHexNumber(data.substr(1, close - 1), raw.type)) {
      return fail("hex value type is not 1 to 8 hex digits in parentheses");
    }
    data.remove_prefix(close + 1);
  }
  if (data.empty() || data.front() != ':') return fail("hex value without ':'");
  data = trimRight(data.substr(1));
  if (!data.empty() && data.back() == '\\') {
    joined_.assign(data.substr(0, data.size() - 1));
    std::string_view next;
    for (bool more = true; more;) {
      if (!lines_.next(next)) return fail("continued hex value at the end of the file");
      next = trimRight(trimLeft(next));
      more = !next.empty() && next.back() == '\\';
      joined_.append(more ? next.substr(0, next.size() - 1) : next);
    }
    data = joined_;
  }
  if (!validHexList(data)) return fail("hex value is not a list of two-digit bytes");
  raw.data = data;
  return {};
}

}  // namespace

ParseResult parseRegText(std::string_view text, ParseSink& sink) {
  if (text.empty()) return {};
  if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
  Lines lines(text);
  std::string_view first;
  if (!lines.next(first) || trimRight(first) != kHeader) {
    return ParseError{1, "first line is not the registry file header"};
  }
  // A zero byte is never part of the text form; report the line it is on.
  if (const std::size_t zero = text.find('\0'); zero != std::string_view::npos) {
    const std::string_view before = text.substr(0, zero);
    const auto line = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    return ParseError{line + 1, "zero byte in the text"};
  }
  return LineParser(lines, sink).run();
}

std::string unescapeQuoted(std::string_view escaped) {
  std::string out;
  out.reserve(escaped.size());
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == '\\' && i + 1 < escaped.size()) ++i;
    out += escaped[i];
  }
  return out;
}

Value decodeValue(const RawValue& raw) {
  Value value{raw.type, {}};
  switch (raw.form) {
    case DataForm::Quoted: {
      if (raw.data.find('\\') == std::string_view::npos) {
        value.data.assign(raw.data.begin(), raw.data.end());
        break;
      }
      const std::string text = unescapeQuoted(raw.data);
      value.data.assign(text.begin(), text.end());
      break;
    }
    case DataForm::Dword: {
      std::uint32_t n = 0;
      parseHexNumber(raw.data, n);
      value = Value::dword(static_cast<std::int32_t>(n));
      break;
    }
    case DataForm::Hex:
      for (std::size_t i = 0; i < raw.data.size();) {
        if (hexDigit(raw.data[i]) < 0) {
          ++i;
          continue;
        }
        value.data.push_back(
            static_cast<std::uint8_t>(hexDigit(raw.data[i]) * 16 + hexDigit(raw.data[i + 1])));
        i += 2;
      }
      break;
  }
  return value;
}

}  // namespace registry
