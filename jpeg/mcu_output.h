// The hand-over of one decoded MCU to the colour-output stage.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Runs the inverse DCT of the MCU's blocks in the work buffer in place (dequantised
// coefficients become samples 0..255), then writes the MCU at (mcu_column, mcu_row)
// of the scan's grid through the installed converter. An image whose scans cover
// fewer components than the frame is written block by block: each block is moved to
// the front of the work buffer and named by state.output_component, with the block's
// own coordinates in its component. "Invalid JPEG_PROPERTIES" when no converter is
// installed for the image, so a read never writes with one left from an earlier image.
[[nodiscard]] int32_t OutputMcu(JPEG_PROPERTIES& properties, const JpegScanHeader& scan,
                                int32_t mcu_column, int32_t mcu_row, int32_t blocks_per_mcu);

}  // namespace jpeg
