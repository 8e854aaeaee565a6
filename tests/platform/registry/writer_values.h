#pragma once
// The values the writer process sets, shared with the test that checks them.

#include <string>
#include <utility>

#include "platform/registry/value.h"

namespace writer {

inline constexpr const char* kKey = "Velmora\\Photo";
inline constexpr int kSlots = 6;

inline registry::Value distinctValue(const std::string& prefix, int i) {
  if (i % 2 == 0) return registry::Value::dword(i * 7 + static_cast<int>(prefix.size()));
  return registry::Value::text(prefix + " değer " + std::to_string(i));
}

// Slot s of round r in iteration i: even slots are texts of varying length
// (some with a line break, so they take the wrapped hex form), odd slots
// numbers that encode iteration and round.
inline std::pair<std::string, registry::Value> churnValue(int iteration, int round, int slot) {
  const std::string name = "slot" + std::to_string(slot);
  if (slot % 2 == 1) return {name, registry::Value::dword(iteration * 100000 + round)};
  std::string text = "it" + std::to_string(iteration) + "-r" + std::to_string(round) + "-";
  static const char* const kFill[] = {"ğ", "a", "\\", "\""};
  const int repeat = 40 + (round * 97 + slot * 31) % 400;
  for (int k = 0; k < repeat; ++k) text += kFill[round % 4];
  if (slot == 2) text += "\nline two";
  return {name, registry::Value::text(text)};
}

}  // namespace writer
