#pragma once
// A stored value: its registry type and its bytes exactly as the file holds
// them. Text written by the program is UTF-8 without a terminating zero.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace registry {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;
inline constexpr std::uint32_t REG_QWORD = 11;

struct Value {
  std::uint32_t type = REG_NONE;
  Bytes data;

  static Value text(std::string_view utf8) { return {REG_SZ, Bytes(utf8.begin(), utf8.end())}; }
  static Value dword(std::int32_t number) {
    const auto u = static_cast<std::uint32_t>(number);
    return {REG_DWORD,
            Bytes{static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                  static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)}};
  }
  // The number of a well-formed DWORD (exactly four bytes), read back signed.
  std::optional<std::int32_t> asDword() const {
    if (type != REG_DWORD || data.size() != 4) return std::nullopt;
    const std::uint32_t u =
        data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    return static_cast<std::int32_t>(u);
  }
  std::string bytesAsString() const { return std::string(data.begin(), data.end()); }

  friend bool operator==(const Value&, const Value&) = default;
};

// What a query without a buffer reports.
struct ValueInfo {
  std::uint32_t type = REG_NONE;
  std::size_t size = 0;
  friend bool operator==(const ValueInfo&, const ValueInfo&) = default;
};

}  // namespace registry
