// The face each resource language is drawn in. The toolkit draws a text in one face with
// no per-glyph fallback, so the face must cover the whole language: DejaVu Sans for Latin
// and Cyrillic, Noto Sans CJK in the regional variant for Japanese, Chinese and Korean,
// WenQuanYi Micro Hei (which covers all ten languages) when those are not installed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform::ui {

// Comma-separated family names, best first.
std::string_view FontFamiliesFor(std::uint16_t language);

// The first family of the list for which `installed` holds; the last one when none does.
std::string FirstInstalledFamily(std::string_view families,
                                 const std::function<bool(const std::string&)>& installed);

// Pixel size of a point size at 96 dots per inch, rounded.
int PointsToPixels(int points);

}  // namespace platform::ui
