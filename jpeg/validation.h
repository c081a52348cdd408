// Validation of the public fields before a read: the mode, the pixel buffer of image
// reads, the input source, and the combination of JPEG colour and buffer colour.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// 0 when the record may be read with state.io_mode, else the status to return.
[[nodiscard]] int32_t ValidateProperties(const JPEG_PROPERTIES& properties);

// Whether a JPEG colour and component count can be written as the buffer colour and
// channel count.
bool IsAcceptedColorCombination(uint32_t jpeg_color, uint32_t jpeg_channels, uint32_t dib_color,
                                uint32_t dib_channels);

}  // namespace jpeg
