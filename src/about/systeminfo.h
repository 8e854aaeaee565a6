#pragma once
// Finding the system information program: first the two look-ups in the
// machine-wide store (a program's full path, or a folder holding the program
// file), then the first of the desktops' own system information tools found
// on the search path.

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string_view>

#include "platform/registry/result.h"

namespace registry {
class Store;
}

namespace about {

inline constexpr std::string_view kSystemInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kSharedToolsKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
// The program file looked for in the folder the second look-up names.
inline constexpr char kSystemInfoFileName[] = "sysinfo";
// Tried in this order when the store names no program.
inline constexpr std::array<const char*, 4> kDesktopSystemInfoTools{
    "hardinfo", "kinfocenter", "gnome-system-monitor", "xfce4-taskmanager"};

// One value of `store` as text: a string value's text, a 32-bit number in
// decimal, the empty text for any other type; a trailing zero byte is
// dropped. The key is only read. An absent key or value, or one larger than
// 1024 bytes, is an error.
base::Expected<QString, registry::Error> GetKeyValue(const registry::Store& store,
                                                     std::string_view keyPath,
                                                     std::string_view valueName);

// The program to start, or nothing when none can be found. `searchPath`: the
// folders searched for the desktop tools (empty: none is searched).
std::optional<QString> systemInfoProgram(const registry::Store& machine,
                                         const QStringList& searchPath);

}  // namespace about
