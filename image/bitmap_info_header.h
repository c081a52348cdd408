// The 40-byte bitmap info header that describes a page's pixel buffer: the dialog layer's
// DIB header, so that a page is drawn exactly as it was loaded.
#pragma once

#include "platform/ui/dib_header.h"

using BitmapInfoHeader = platform::ui::BitmapInfoHeader;
using platform::ui::DibStride;

inline constexpr std::uint32_t kBiRgb = 0;  // biCompression of uncompressed pixels

// A page larger than this in either direction cannot be shown in a window.
inline constexpr std::int32_t kMaxPageDimension = 32767;

// Within a window's size each way and within what the drawing converts (64 Mpixel).
inline constexpr bool IsShowablePageSize(std::uint64_t width, std::uint64_t height) {
  return width <= kMaxPageDimension && height <= kMaxPageDimension &&
         width * height <= platform::ui::kMaxDibPixels;
}
inline constexpr const char kShowablePageSizeText[] = "at most 32767 pixels each way and 64 Mpixel";
