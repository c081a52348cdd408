// The frame set-up that runs after every accepted frame header, after an Adobe
// marker that follows the frame, and at every scan: sampling maxima, MCU size and
// the frame's MCU grid.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

[[nodiscard]] int32_t RunFrameSetUp(JPEG_PROPERTIES& properties);

}  // namespace jpeg
