// The generic output path, for any sampling factors: each component expanded into its
// channel, then the visible pixels converted from YCbCr in place when colour
// conversion is on. Also the writers of non-interleaved images, which get one block
// of one component per call, and the whole-image colour pass that follows them.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/mcu_placement.h"

namespace jpeg {

// Interleaved images (sequential, and progressive for now): one MCU per call.
int32_t WriteGenericMcu(JPEG_PROPERTIES* properties, const McuTarget& target);

// Whole MCUs of reduced reads of gray images into one, three or four channels, and of YCbCr
// into three-channel RGB or BGR, 4:2:2 or with every component at one sample per pixel after
// its transform (4:4:4, and 4:2:0 whose chroma gets the larger transform): one call per MCU,
// the writer chosen once per scan; none for other reads. Blocks in frame order. `quant`, when
// given, holds the components' prepared tables: blocks of the 1x1 transform then still hold their
// quantised DC, which the writer turns into the precise sample itself. Without it every block holds
// samples.
using WholeReducedMcuWriter = void (*)(const int16_t* blocks, const int16_t* const* quant,
                                       uint8_t* out, int32_t row_step);
WholeReducedMcuWriter WholeReducedMcuWriterOf(const JpegState& state, const ReadGeometry& geometry);

// Non-interleaved images: the target's block of its component, at block 0 of the
// work buffer, into that component's channel. The YCbCr variant (dib_color 3) packs a two-channel
// buffer like the 4:2:2 packing; other channel counts get the components as they are.
int32_t WriteNonInterleavedBlock(JPEG_PROPERTIES* properties, const McuTarget& target);
int32_t WriteNonInterleavedYccBlock(JPEG_PROPERTIES* properties, const McuTarget& target);

// The in-place conversion of the generic path: Y, Cb, Cr from channels 0-2 of the
// pixels of rect become R, G, B (B, G, R for dib_color 2; inverted for YCbCrA data,
// whose channel 3 is left as it is). Buffers of fewer than three channels are left.
void ConvertPixelsInPlace(const JpegState& state, const McuRect& rect, uint8_t* out);

// Before the first scan of a non-interleaved image: the channels of the frame's
// components become 128, the samples of all-zero coefficients, so a component that
// no scan covers decodes mid-level as T.81 decoders give it (not the caller's bytes).
void FillComponentChannelsMidLevel(JPEG_PROPERTIES& properties);

// The colour pass at EOI of a non-interleaved image: every written pixel, when colour
// conversion is on and dib_color is 1, 2 or 5.
void ConvertImageInPlace(JPEG_PROPERTIES& properties);

}  // namespace jpeg
