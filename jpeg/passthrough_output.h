// The output paths that move samples without colour arithmetic: gray copy, the
// three- and four-channel interleaves, three channels plus 255, replication of 4:2:2
// and 4:2:0 chroma, the two-channel 4:2:2 packing, and the component copy (path 0).
// Each path is a per-MCU writer (the WriteMcuOutput slot) that writes the visible part
// of a placed MCU, and most have a kernel in the routine table that the sink gives
// whole MCUs (output_paths.h).
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/mcu_placement.h"

namespace jpeg {

// Per-MCU writers, installed by the frame set-up.
int32_t WriteGrayMcu(JPEG_PROPERTIES* properties, const McuTarget& target);
int32_t WriteInterleave3Mcu(JPEG_PROPERTIES* properties, const McuTarget& target);       // 15
int32_t WriteInterleave3AlphaMcu(JPEG_PROPERTIES* properties, const McuTarget& target);  // 13
int32_t WriteInterleave4Mcu(JPEG_PROPERTIES* properties, const McuTarget& target);       // 14
int32_t WriteReplicate2x1Mcu(JPEG_PROPERTIES* properties, const McuTarget& target);      // 17
int32_t WriteReplicate2x2Mcu(JPEG_PROPERTIES* properties, const McuTarget& target);      // 16
int32_t WritePack422Mcu(JPEG_PROPERTIES* properties, const McuTarget& target);           // 19
int32_t WriteComponentCopyMcu(JPEG_PROPERTIES* properties, const McuTarget& target);     // 0
// The component copy of a gray image into three or four channels (path 0).
int32_t WriteGrayRepeatedMcu(JPEG_PROPERTIES* properties, const McuTarget& target);  // 0

// Full-MCU kernels (OutputKernel) for the routine table.
void OutputGray(const int16_t* const* blocks, uint8_t* out, int32_t row_step);
void OutputInterleave3(const int16_t* const* blocks, uint8_t* out, int32_t row_step);
void OutputInterleave3Alpha(const int16_t* const* blocks, uint8_t* out, int32_t row_step);
void OutputInterleave4(const int16_t* const* blocks, uint8_t* out, int32_t row_step);
void OutputReplicate2x1(const int16_t* const* blocks, uint8_t* out, int32_t row_step);
void OutputReplicate2x2(const int16_t* const* blocks, uint8_t* out, int32_t row_step);
void OutputPack422(const int16_t* const* blocks, uint8_t* out, int32_t row_step);

}  // namespace jpeg
