// Text helpers shared by the platform layer and its users: ASCII-only case folding (the
// comparisons of file and profile names ignore ASCII case only) and UTF-8 / UTF-16 counting.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

char ToLowerAscii(char c);
char ToUpperAscii(char c);
std::string ToLowerAscii(std::string_view text);

bool EqualsNoCaseAscii(std::string_view a, std::string_view b);
// Ordinal comparison of the upper-cased bytes: <0, 0 or >0.
int CompareNoCaseAscii(std::string_view a, std::string_view b);

// UTF-16LE code units (without BOM) as UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);

// The longest prefix of UTF-8 text that fits in `max_units` UTF-16 code units, never ending
// inside a character. Malformed bytes count as one unit each.
std::string CutToUtf16Units(std::string_view text, std::size_t max_units);

}  // namespace platform
