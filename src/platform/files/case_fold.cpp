#include "platform/files/case_fold.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>

#include "platform/files/folder.h"

namespace files {
namespace {

char32_t foldLatinExtendedA(char32_t c) {
  if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149) return c;
  if (c == 0x178) return 0xFF;
  if (c == 0x17F) return U's';
  const bool evenPairs = (c < 0x138) || (c >= 0x14A && c <= 0x177);
  const bool upper = evenPairs ? (c % 2 == 0) : (c % 2 == 1);
  return upper ? c + 1 : c;
}

char32_t foldCodePoint(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
  if (c >= 0x100 && c <= 0x17F) return foldLatinExtendedA(c);
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c == 0x3C2) return 0x3C3;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  return c;
}

// Decodes one well-formed two-byte sequence at `s`; returns 2, or 0 when the
// bytes are not such a sequence. Every letter folded here has a two-byte
// encoding; longer sequences are copied byte by byte as they are.
std::size_t decode(std::string_view s, char32_t& out) {
  const auto b0 = static_cast<std::uint8_t>(s[0]);
  auto cont = [&](std::size_t i) {
    return i < s.size() && (static_cast<std::uint8_t>(s[i]) & 0xC0) == 0x80;
  };
  if (b0 >= 0xC2 && b0 <= 0xDF && cont(1)) {
    out = (char32_t(b0 & 0x1F) << 6) | (static_cast<std::uint8_t>(s[1]) & 0x3F);
    return 2;
  }
  return 0;
}

// Writes the folded form of `in` to `out`, which must have room for as many
// bytes as `in` has: every folding here keeps or shortens a character's
// encoding. Returns the number of bytes written.
std::size_t foldTo(std::string_view in, char* out) {
  char* const start = out;
  for (std::size_t i = 0; i < in.size();) {
    const auto b = static_cast<std::uint8_t>(in[i]);
    if (b < 0x80) {
      *out++ = (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 32) : static_cast<char>(b);
      ++i;
      continue;
    }
    char32_t c = 0;
    if (decode(in.substr(i), c) == 0) {
      *out++ = in[i++];
      continue;
    }
    c = foldCodePoint(c);
    if (c < 0x80) {
      *out++ = static_cast<char>(c);
    } else {
      *out++ = static_cast<char>(0xC0 | (c >> 6));
      *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    i += 2;
  }
  return static_cast<std::size_t>(out - start);
}

}  // namespace

std::string foldCase(std::string_view utf8) {
  std::string out(utf8.size(), '\0');
  out.resize(foldTo(utf8, out.data()));
  return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return foldCase(a) == foldCase(b);
}

std::string_view foldInto(std::string_view raw, std::string& scratch) {
  for (char c : raw) {
    if ((c >= 'A' && c <= 'Z') || static_cast<std::uint8_t>(c) >= 0x80) {
      scratch.resize(raw.size());
      scratch.resize(foldTo(raw, scratch.data()));
      return scratch;
    }
  }
  return raw;
}

namespace {

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return syscalls().stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool existsAtAll(const std::string& path) {
  struct stat st {};
  return syscalls().lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

}  // namespace

std::optional<std::string> findFileIgnoringCase(const std::string& path) {
  if (path.empty() || path.ends_with('/')) return std::nullopt;
  if (isRegularFile(path)) return path;
  if (existsAtAll(path)) return std::nullopt;  // a folder, a device
  const std::string folder = parentFolder(path);
  auto names = folderNames(folder);
  if (!names) return std::nullopt;
  const std::string wanted = foldCase(fileName(path));
  std::optional<std::string> best;
  for (const std::string& name : *names) {
    if (foldCase(name) != wanted) continue;
    // Folder order is arbitrary; take the smallest name so the answer is stable.
    if (best && name >= *best) continue;
    if (isRegularFile(pathIn(folder, name))) best = name;
  }
  if (!best) return std::nullopt;
  if (path.find('/') == std::string::npos) return best;  // a bare name stays bare
  return pathIn(folder, *best);
}

}  // namespace files
