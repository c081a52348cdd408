// The whole-image coefficient store of a progressive image: one plane per frame
// component, each its own allocation, holding the component's blocks in raster order
// of its block grid padded to whole MCUs; each block's 64 coefficients in natural
// order, 16 bits each, so that the output copies blocks as they stand. A plane holds
// the upper halves of its blocks (rows 0-3, one cache line each) in front and the lower
// halves (rows 4-7) behind: most blocks of a photo have nothing in their lower rows,
// and the pages of lower halves no coefficient reaches are never touched, so the system
// never has to fault them in. A scan of one
// component, most of a progressive stream, thus runs through its own plane from front
// to back, and planes of a few MB are ones the heap hands out again for the next page
// rather than fresh pages the system must fault in and clear. Progressive scans decode
// into it; the picture is written from it once, when the read ends.
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
  int32_t h[JPEG_MAX_COMPONENTS];  // blocks across and down of each frame component
  int32_t v[JPEG_MAX_COMPONENTS];  // in one MCU

  int64_t Blocks(int32_t i) const { return int64_t{mcus_across} * mcus_down * h[i] * v[i]; }
  // Where the upper half of block (bx, by) of frame component i's grid lies in its plane,
  // in coefficients; halves of 32, so its index among the plane's blocks is this / 32.
  int64_t BlockOffset(int32_t i, int32_t bx, int32_t by) const {
    return (int64_t{by} * mcus_across * h[i] + bx) * 32;
  }
  // From a block's upper half to its lower half.
  int64_t LowerHalf(int32_t i) const { return Blocks(i) * 32; }
};
StoreGeometry StoreGeometryOf(const JpegFrameHeader& frame);

// Each block's summary byte: kHasAc once an AC coefficient was written into it, and
// kHasLowerRows once its lower half was cleared for a first coefficient there (until then
// that half is neither written nor read: its rows are zero). Scans set them as they write, so
// a refinement passes over blocks without AC coefficients and the output reads only the
// halves a block uses.
inline constexpr uint8_t kHasAc = 1;
inline constexpr uint8_t kHasLowerRows = 2;

// Where natural position n of a block lies, from the block's upper half.
inline int64_t StorePosition(int32_t natural, int64_t lower_half) {
  return natural < 32 ? natural : natural - 32 + lower_half;
}

// Stores an AC coefficient at a natural position of a block, clearing the block's lower
// half first when this is its first coefficient there, and notes it in the summary.
inline void StoreAcCoefficient(int16_t* block, int64_t lower_half, uint8_t& summary,
                               int32_t natural, int16_t value) {
  if (natural >= 32 && (summary & kHasLowerRows) == 0) [[unlikely]] {
    for (int32_t k = 0; k < 32; ++k) block[lower_half + k] = 0;
    summary |= kHasLowerRows;
  }
  block[StorePosition(natural, lower_half)] = value;
  summary |= kHasAc;
}

inline bool HasCoefficientStore(const JpegState& state) {
  return state.coefficient_planes[0] != nullptr;
}
void FreeCoefficientStore(JpegState& state);

// Frees the store and clears the scan count and both completion counters: the state of
// a record before its first progressive scan.
void ResetCoefficientStore(JpegState& state);

// Allocates the store for the state's frame with its summaries cleared, the planes uncleared: the
// upper halves of each plane are cleared a row at a time just ahead of the first scan that reaches
// the row (ClearStoreRows), so clearing and the first scan's writes meet the same cache lines
// instead of the whole store twice; a lower half when it takes its first coefficient. Refused
// before allocating: an MCU of more than 10 blocks ("Unsupported subsampling"), and a frame with
// more blocks than its stream could code ("Data error"): the first DC scan takes at least one bit
// per block.
[[nodiscard]] int32_t AllocateCoefficientStore(JpegState& state);

// Clears the upper halves of the block rows of frame component i's plane below `rows` that
// are not yet cleared. Every scan calls it before it decodes into a row.
void ClearStoreRows(JpegState& state, int32_t i, int32_t rows);

// Hands every MCU of the store to the sink, which writes the picture; rows no scan
// reached are zeros.
[[nodiscard]] int32_t OutputCoefficientStore(JPEG_PROPERTIES& properties);

}  // namespace jpeg
