#pragma once
// Key codes as the original platform numbers them (F2 is 113, Esc 27), so
// key tables of the windows read like their design.

#include <qnamespace.h>

#include <cstdint>

namespace ui {

inline constexpr std::int16_t vbKeyBack = 8;
inline constexpr std::int16_t vbKeyTab = 9;
inline constexpr std::int16_t vbKeyReturn = 13;
inline constexpr std::int16_t vbKeyEscape = 27;
inline constexpr std::int16_t vbKeySpace = 32;
inline constexpr std::int16_t vbKeyF1 = 112;
inline constexpr std::int16_t vbKeyF2 = 113;
inline constexpr std::int16_t vbKeyF3 = 114;
inline constexpr std::int16_t vbKeyF4 = 115;
inline constexpr std::int16_t vbKeyF5 = 116;
inline constexpr std::int16_t vbKeyF6 = 117;
inline constexpr std::int16_t vbKeyF7 = 118;
inline constexpr std::int16_t vbKeyF8 = 119;
inline constexpr std::int16_t vbKeyF9 = 120;
inline constexpr std::int16_t vbKeyF10 = 121;
inline constexpr std::int16_t vbKeyF11 = 122;
inline constexpr std::int16_t vbKeyF12 = 123;

// The code of a Qt key (Qt::Key_F5 gives 116); 0 for keys the platform has no code for.
std::int16_t vbKeyCode(int qtKey);

// Shift 1, Ctrl 2, Alt 4, summed.
std::int16_t vbShiftState(Qt::KeyboardModifiers modifiers);

}  // namespace ui
