// The frame set-up, run after every accepted frame header, after an Adobe marker that
// follows the frame, and at every scan: sampling maxima, MCU size and the frame's MCU
// grid, the colour flags, and the choice of the output converter (output_path and the
// WriteMcuOutput slot) for the image's component layout and the requested pixels.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Returns 0, -8 (YCbCr output from a YCbCr image that is not 4:2:2) or -14 (no
// components, or more than the frame tables hold). A combination without a converter
// leaves WriteMcuOutput empty and returns 0; the first MCU of an image read then
// fails with -8, and never with a converter left from an earlier image.
[[nodiscard]] int32_t SelectOutputConverter(JPEG_PROPERTIES& properties);

}  // namespace jpeg
