#include "platform/registry/reg_writer.h"

#include <cstdint>

namespace registry {
namespace {

constexpr std::size_t kWrapColumn = 76;

bool isValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<std::uint8_t>(s[i]);
    std::size_t len = 0;
    char32_t c = 0;
    if (b < 0x80) {
      ++i;
      continue;
    }
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2, c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3, c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4, c = b & 0x07;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto cb = static_cast<std::uint8_t>(s[i + k]);
      if ((cb & 0xC0) != 0x80) return false;
      c = (c << 6) | (cb & 0x3F);
    }
    const bool overlong = (len == 3 && c < 0x800) || (len == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

bool quotable(std::string_view s) {
  for (char c : s) {
    if (c == '\0' || c == '\n' || c == '\r') return false;
  }
  return isValidUtf8(s);
}

void appendQuoted(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

constexpr char kHexDigits[] = "0123456789abcdef";

void appendHexNumber(std::string& out, std::uint32_t n, int minDigits) {
  char digits[8];
  int count = 0;
  do {
    digits[count++] = kHexDigits[n & 0xF];
    n >>= 4;
  } while (n != 0);
  for (int i = count; i < minDigits; ++i) out += '0';
  while (count > 0) out += digits[--count];
}

void appendHex(std::string& out, std::size_t lineStart, const Value& value) {
  if (value.type == REG_BINARY) {
    out += "hex:";
  } else {
    out += "hex(";
    appendHexNumber(out, value.type, 1);
    out += "):";
  }
  std::size_t column = out.size() - lineStart;
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    out += kHexDigits[value.data[i] >> 4];
    out += kHexDigits[value.data[i] & 0xF];
    column += 2;
    if (i + 1 == value.data.size()) break;
    out += ',';
    ++column;
    if (column + 3 > kWrapColumn) {
      out += "\\\n  ";
      column = 2;
    }
  }
}

void appendValue(std::string& out, const Entry& entry) {
  const std::size_t lineStart = out.size();
  if (entry.name.empty()) {
    out += '@';
  } else {
    appendQuoted(out, entry.name);
  }
  out += '=';
  const Value& value = entry.value;
  const std::string_view bytes(reinterpret_cast<const char*>(value.data.data()), value.data.size());
  if (value.type == REG_SZ && quotable(bytes)) {
    appendQuoted(out, bytes);
  } else if (const auto number = value.asDword()) {
    out += "dword:";
    appendHexNumber(out, static_cast<std::uint32_t>(*number), 8);
  } else {
    appendHex(out, lineStart, value);
  }
  out += '\n';
}

}  // namespace

bool isWritableName(std::string_view name) {
  return quotable(name);
}

std::string serialize(const Document& doc) {
  std::string out(kHeader);
  out += '\n';
  for (const auto& section : doc.sections()) {
    out += "\n[";
    out += section.path;
    out += "]\n";
    for (const auto& entry : section.entries) appendValue(out, entry);
  }
  return out;
}

}  // namespace registry
