// The 40-byte bitmap info header that describes a page's pixel buffer: the dialog layer's
// DIB header, so that a page is drawn exactly as it was loaded.
#pragma once

#include "platform/ui/dib.h"

using BitmapInfoHeader = platform::ui::BitmapInfoHeader;
using platform::ui::DibStride;

inline constexpr std::uint32_t kBiRgb = 0;  // biCompression of uncompressed pixels

// A page larger than this in either direction cannot be shown in a window.
inline constexpr std::int32_t kMaxPageDimension = 32767;
