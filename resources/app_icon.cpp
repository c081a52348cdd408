// Icon 128, the application icon: an instruction page with lines of text and a green
// "next" arrow, drawn pixel by pixel at compile time (32 x 32, 0xAARRGGBB).
#include <array>
#include <cstdint>

#include "resources/app_icon.h"

namespace resources {
namespace {

constexpr int kSize = 32;
constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kOutline = 0xFF404850;
constexpr std::uint32_t kPaper = 0xFFFFFFFF;
constexpr std::uint32_t kText = 0xFF8C9AAA;
constexpr std::uint32_t kArrow = 0xFF1E9E3C;
constexpr std::uint32_t kArrowEdge = 0xFF0E5A20;

constexpr bool InArrow(int x, int y) {
  // A triangle pointing right: tip at (29, 23), base from (17, 15) to (17, 31).
  const int dy = y < 23 ? 23 - y : y - 23;
  return x >= 17 && x <= 29 && y >= 15 && y <= 31 && (x - 17) * 8 <= (8 - dy) * 12;
}

constexpr std::uint32_t Pixel(int x, int y) {
  if (InArrow(x, y)) {
    const bool edge =
        !InArrow(x - 1, y) || !InArrow(x + 1, y) || !InArrow(x, y - 1) || !InArrow(x, y + 1);
    return edge ? kArrowEdge : kArrow;
  }
  const bool in_page = x >= 4 && x <= 23 && y >= 1 && y <= 28;
  if (!in_page) return kClear;
  if (x == 4 || x == 23 || y == 1 || y == 28) return kOutline;
  const bool text_row = y >= 5 && y <= 21 && (y - 5) % 4 == 0;
  const int text_end = (y / 4) % 2 ? 19 : 16;
  if (text_row && x >= 7 && x <= text_end) return kText;
  return kPaper;
}

constexpr std::array<std::uint32_t, kSize * kSize> Draw() {
  std::array<std::uint32_t, kSize * kSize> pixels{};
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) pixels[y * kSize + x] = Pixel(x, y);
  return pixels;
}

constexpr auto kPixels = Draw();
constexpr platform::ui::Icon kIcon{kSize, kSize, kPixels};

}  // namespace

const platform::ui::Icon& AppIcon() {
  return kIcon;
}

}  // namespace resources
