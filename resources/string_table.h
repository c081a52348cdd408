// The string tables of every language: ids 1 to 11, index 0 holding id 1.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace resources {

inline constexpr int kFirstStringId = 1;
inline constexpr int kLastStringId = 11;

struct StringTable {
  std::uint16_t language = 0;
  std::array<std::string_view, kLastStringId - kFirstStringId + 1> strings;
};

std::span<const StringTable> StringTables();

}  // namespace resources
