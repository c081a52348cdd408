// Smooth upsampling's delayed output. The triangle filter of a chroma sample needs the
// samples on each side of it, and the ones on the right and below come with the next
// MCU and the next MCU row. So the MCUs of a smooth read are kept, as samples, in a
// delay store of three MCU rows per component, and each is written once its right and
// lower neighbours are in: one MCU column behind the decoding, and one MCU row behind
// when chroma has half the height. The end of a scan writes what is left, taking
// neighbours that never came as image edges.
//
// The smooth path takes frames whose largest sampling factors are 2 across and 1 or 2
// down, read whole at full size; the other frames need no filter or have none
// (4:4:4, 4:1:1 and 4:4:0 are replicated as without it).
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/read_geometry.h"
#include "jpeg/status.h"

namespace jpeg {

// smooth_upsampling is set and the read upsamples a frame of largest factors 2 x 1 or 2 x 2.
bool SmoothUpsamplingApplies(const JpegState& state);

// Reads that do not combine with smooth_upsampling: reduced, region and interrupted ones.
bool SmoothUpsamplingRefused(const JpegState& state, int32_t mode);

// Makes the delay store ready for a scan of the read's geometry (an interleaved one,
// whose MCUs then come in raster order). "Memory error" when it cannot be allocated.
Status StartSmoothOutput(JpegState& state, const ReadGeometry& geometry);

// Takes the transformed MCU (mcu_column, mcu_row) from the work buffer and writes every
// MCU whose neighbours are now all in.
Status SmoothOutputMcu(JPEG_PROPERTIES& properties, const ReadGeometry& geometry,
                       int32_t mcu_column, int32_t mcu_row);

// Writes the MCUs still held, after the scan's last MCU or an error that ended it.
void FlushSmoothOutput(JPEG_PROPERTIES& properties, const ReadGeometry& geometry);

}  // namespace jpeg
