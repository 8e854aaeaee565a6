#include "platform/video/cameraprofiles.h"

#include <charconv>

namespace video {
namespace {

constexpr std::size_t kFourccLength = 4;

bool readNumber(std::string_view text, int& number) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  return ec == std::errc() && end == text.data() + text.size() && number > 0;
}

}  // namespace

std::string formatText(const FormatOption& format) {
  std::string text(kFourccLength, ' ');
  for (std::size_t i = 0; i < kFourccLength; ++i)
    text[i] = static_cast<char>((format.fourcc >> (8 * i)) & 0xFF);
  return text + ' ' + std::to_string(format.width) + 'x' + std::to_string(format.height);
}

std::optional<FormatOption> formatFromText(std::string_view text) {
  if (text.size() < kFourccLength + 4 || text[kFourccLength] != ' ') return {};
  FormatOption format;
  for (std::size_t i = 0; i < kFourccLength; ++i)
    format.fourcc |= static_cast<std::uint32_t>(static_cast<unsigned char>(text[i])) << (8 * i);
  const auto size = text.substr(kFourccLength + 1);
  const auto cross = size.find('x');
  if (cross == std::string_view::npos) return {};
  if (!readNumber(size.substr(0, cross), format.width) ||
      !readNumber(size.substr(cross + 1), format.height))
    return {};
  return format;
}

}  // namespace video
