// The whole-image coefficient store of a progressive image: every block's 64
// coefficients (zigzag order, so that a spectral band is contiguous; 16 bits each), MCU after MCU
// in raster order of the frame's MCU grid; inside an MCU the frame components in frame order, each
// with its H x V blocks (row of blocks outer). Progressive scans decode into it; the picture is
// written from it once, when the read ends.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Scans a progressive image may have: real encoders write fewer than 100, so this
// bounds the work a hostile file can ask for while leaving ample margin.
inline constexpr int32_t kMaxProgressiveScans = 1000;

// Where the store keeps each block: the frame's MCU grid, or for a frame of one
// component (never interleaved, T.81 A.2.1) its block grid, one block per MCU.
struct StoreGeometry {
  int32_t mcus_across;
  int32_t mcus_down;
  int32_t blocks_per_mcu;
  int32_t h[JPEG_MAX_COMPONENTS];      // blocks across and down of each frame component
  int32_t v[JPEG_MAX_COMPONENTS];      // in one MCU
  int32_t first[JPEG_MAX_COMPONENTS];  // its first block in an MCU
};
StoreGeometry StoreGeometryOf(const JpegFrameHeader& frame);

// Frees the store and clears the scan count and both completion counters: the state of
// a record before its first progressive scan.
void ResetCoefficientStore(JpegState& state);

// Allocates the store, cleared, for the state's frame. Refused before allocating: an MCU
// of more than 10 blocks ("Unsupported subsampling"), and a frame with more blocks than
// its stream could code ("Data error"): the first DC scan takes at least one bit per block.
[[nodiscard]] int32_t AllocateCoefficientStore(JpegState& state);

// Hands every MCU of the store to the sink, which writes the picture.
[[nodiscard]] int32_t OutputCoefficientStore(JPEG_PROPERTIES& properties);

}  // namespace jpeg
