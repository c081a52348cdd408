// One scan of a whole-image read: the transforms chosen for the read's dct_method,
// then the sequential scan driver, MCU by MCU, from the scan's saved position.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Runs the scan; 0 when it is complete, or a negative status. Reads this codec does
// not decode (scaled, region, interrupted, coefficient output) are refused with
// "Not supported" before any pixel is written.
[[nodiscard]] int32_t DecodeScan(JPEG_PROPERTIES& properties, JpegScanHeader& scan);

}  // namespace jpeg
