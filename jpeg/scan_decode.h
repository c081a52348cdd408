// One scan of a whole-image read: a progressive scan decodes into the coefficient
// store; a sequential one goes MCU by MCU through the sink, from its saved position.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/status.h"

namespace jpeg {

// Runs the scan; 0 when it is complete, or a negative status. Reads this codec does
// not decode (scaled, region, interrupted, coefficient output) are refused with
// "Not supported" before any pixel is written.
Status DecodeScan(JPEG_PROPERTIES& properties, JpegScanHeader& scan);

}  // namespace jpeg
