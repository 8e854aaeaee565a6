#pragma once
// The program's remembered values, read and written one at a time with no cache:
// every call opens the per-user store, does its one thing and closes it again.
// None of the four reports a failure; a read that finds nothing gives the empty
// text or 0 and each caller applies its own default.

#include <QString>
#include <cstdint>

namespace Module1 {

using HKEY = std::int32_t;
// The per-user root, with the handle value the original platform gives it.
inline constexpr HKEY HKEY_CURRENT_USER = static_cast<HKEY>(0x80000001U);

// "Velmora\Photo" and "Velmora\Photo\Settings".
QString mainKeyPath();
QString layoutKeyPath();

QString getStringValue(HKEY root, const QString& keyPath, const QString& valueName);
void saveStringValue(HKEY root, const QString& keyPath, const QString& valueName,
                     const QString& text);
std::int32_t getDwordValue(HKEY root, const QString& keyPath, const QString& valueName);
void saveDwordValue(HKEY root, const QString& keyPath, const QString& valueName,
                    std::int32_t number);

}  // namespace Module1
