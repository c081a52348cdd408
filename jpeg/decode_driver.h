// The decode driver: one read over the stream, from the position JpegRead set up.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Runs the marker loop for state.io_mode; returns 0, 1, 2 or a negative status.
[[nodiscard]] int32_t DecodeStream(JPEG_PROPERTIES& properties);

}  // namespace jpeg
