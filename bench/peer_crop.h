// The peer's cropped decode, beside our region reads: libjpeg's own interface (the peer's
// TurboJPEG interface has no crop) with the settings the TurboJPEG peer uses, skipping the
// rows above the rectangle and decoding only the iMCU columns it touches.
#pragma once

#include <cstdint>
#include <span>

#include "tests/jpeg/support/dib_layout.h"

namespace setuvia::bench {

struct PixelRect {
  uint32_t left, top, width, height;
};

// Decodes `rect` of the image into `pixels` laid out as `layout` (rect's size, bottom-up BGR
// rows padded to 4 bytes), set-up included. False on an error.
bool PeerDecodeRect(std::span<const uint8_t> jpeg, const PixelRect& rect,
                    const jpegtest::DibLayout& layout, uint8_t* pixels);

}  // namespace setuvia::bench
