// The whole-image coefficient store of a progressive image: one plane per frame
// component, each its own allocation, holding the component's blocks in raster order
// of its block grid padded to whole MCUs; each block's 64 coefficients in natural
// order, 16 bits each, so that the output copies blocks as they stand. A plane holds
// the upper halves of its blocks (rows 0-3, one cache line each) in raster order, and
// behind them a region of lower halves (rows 4-7) that are opened, two neighbouring
// blocks at a time, when a coefficient first lands in one of them: each band of the
// region fills from its front in the order its pairs open, so its pages hold opened halves
// only. Most blocks of a photo have nothing in their lower rows, and every page the
// system need not fault in and clear saves more time than the decoding of its blocks
// takes. A scan of one component, most of a progressive stream, thus runs through its
// own plane from front to back, and planes of a few MB are ones the heap hands out again
// for the next page rather than fresh pages. Progressive scans decode into it; the
// picture is written from it once, when the read ends.
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
};
StoreGeometry StoreGeometryOf(const JpegFrameHeader& frame);

// A block's summary, as the scans keep it while they decode the block: kHasAc once an AC
// coefficient was written into it, kHasLowerRows once its lower half is open (until then
// that half is neither written nor read: its rows are zero). Scans set them as they write,
// so a refinement passes over blocks without AC coefficients and the output reads only the
// halves a block uses.
inline constexpr uint8_t kHasAc = 1;
inline constexpr uint8_t kHasLowerRows = 2;

// Pairs of blocks (2p and 2p + 1 of a plane) whose lower halves share one band of the
// lower-half region: the slot of an open pair within its band fits its entry.
inline constexpr int64_t kBandPairs = 8192;

// Each pair's 16-bit entry: kHasAc << s for block 2p + s, kPairOpen once the pair's lower
// halves are open (cleared), at slot entry >> kSlotShift of the pair's band.
inline constexpr uint16_t kPairOpen = 4;
inline constexpr int32_t kSlotShift = 3;

// A block of the store while a scan decodes it, held in registers: its upper half, the
// offset from there to its lower half (once open) and its summary.
struct StoreBlock {
  int16_t* upper;
  int64_t lower_half;
  int64_t index;  // among the plane's blocks
  uint8_t summary;
};

// Where natural position n of a block lies, from the block's upper half.
inline int64_t StorePosition(int32_t natural, int64_t lower_half) {
  return natural < 32 ? natural : natural - 32 + lower_half;
}

// One plane of the store as the scans and the output address it.
struct StorePlane {
  int16_t* upper;         // block b's upper half at upper + 32 b
  int64_t lower;          // the lower-half region, in coefficients from upper
  uint16_t* pairs;        // the pairs' entries
  uint32_t* band_opened;  // pairs opened in each band

  uint8_t Summary(int64_t b) const {
    const uint32_t entry = pairs[b >> 1];
    return static_cast<uint8_t>((entry >> (b & 1) & kHasAc) |
                                ((entry & kPairOpen) != 0 ? kHasLowerRows : 0));
  }
  bool HasAc(int64_t b) const { return (pairs[b >> 1] >> (b & 1) & kHasAc) != 0; }
  // From block b's upper half to its lower half; the pair must be open.
  int64_t LowerHalf(int64_t b) const {
    const int64_t p = b >> 1;
    const int64_t slot = (p & ~(kBandPairs - 1)) + (pairs[p] >> kSlotShift);
    return lower + slot * 64 + (b & 1) * 32 - b * 32;
  }
  StoreBlock Block(int64_t b) const {
    const uint8_t summary = Summary(b);
    return {upper + b * 32, (summary & kHasLowerRows) != 0 ? LowerHalf(b) : 0, b, summary};
  }
  // Opens the lower halves of block b's pair (zeros, as the store was allocated) in the next
  // slot of its band, and returns LowerHalf(b).
  int64_t Open(int64_t b) const;
  // Keeps what a scan noted in a block's summary.
  void Note(const StoreBlock& block) const {
    pairs[block.index >> 1] |= static_cast<uint16_t>((block.summary & kHasAc) << (block.index & 1));
  }
};
StorePlane StorePlaneOf(const JpegState& state, int32_t i);

// Stores an AC coefficient at a natural position of a block, opening the block's lower
// half first when this is its first coefficient there, and notes it in the summary.
inline void StoreAcCoefficient(const StorePlane& plane, StoreBlock& block, int32_t natural,
                               int16_t value) {
  if (natural >= 32 && (block.summary & kHasLowerRows) == 0) [[unlikely]] {
    block.lower_half = plane.Open(block.index);
    block.summary |= kHasLowerRows;
  }
  block.upper[StorePosition(natural, block.lower_half)] = value;
  block.summary |= kHasAc;
}

inline bool HasCoefficientStore(const JpegState& state) {
  return state.coefficient_planes[0] != nullptr;
}
void FreeCoefficientStore(JpegState& state);

// Frees the store and clears the scan count and both completion counters: the state of
// a record before its first progressive scan.
void ResetCoefficientStore(JpegState& state);

// Allocates the store for the state's frame, cleared: a plane is fresh memory the system
// hands out as zeros, page by page as a scan first writes there, so nothing clears it twice.
// Refused before allocating: an MCU of more than 10 blocks ("Unsupported subsampling"), and a frame
// with more blocks than its stream could code ("Data error"): the first DC scan takes at least one
// bit per block.
[[nodiscard]] int32_t AllocateCoefficientStore(JpegState& state);

// Hands every MCU of the store to the sink, which writes the picture; rows no scan
// reached are zeros.
[[nodiscard]] int32_t OutputCoefficientStore(JPEG_PROPERTIES& properties);

}  // namespace jpeg
