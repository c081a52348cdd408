// The header and row layout of a device-independent bitmap, shared by the page loaders and
// the drawing. Header-only, so that code which loads pages without showing them (the tree
// checker) needs no toolkit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::ui {

// The published BITMAPINFOHEADER layout.
struct BitmapInfoHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;  // 0: uncompressed (BI_RGB)
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// Bound on the pixels of a source or a stretched image (64 Mpixel, 192 MB as RGB).
inline constexpr std::uint64_t kMaxDibPixels = std::uint64_t{1} << 26;

// Bytes per pixel row of a DIB (padded to 4), or 0 when width or bit count are unusable.
inline std::size_t DibStride(std::int32_t width, std::uint16_t bit_count) {
  if (width <= 0 || (bit_count != 16 && bit_count != 24 && bit_count != 32)) return 0;
  return static_cast<std::size_t>((std::uint64_t(width) * bit_count + 31) / 32 * 4);
}

}  // namespace platform::ui
