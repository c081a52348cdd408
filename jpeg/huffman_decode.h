// The bit reader over entropy-coded data and the sequential block decoder
// (T.81 F.2.2): symbols through the 8-bit lookahead or the canonical slow path.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// FillBitBuffer's report that a marker stopped the data before `needed` bits.
inline constexpr int32_t kMarkerReached = 100;

// Tops the bit buffer up to more than 24 bits; 0, kMarkerReached or a negative status
// (a marker, or input that fails, when fewer than `needed` bits are held). A memory
// stream that is exhausted supplies zero bits.
[[nodiscard]] int32_t FillBitBuffer(JpegInputStream& stream, int32_t needed);
// Decodes one Huffman symbol: 0, kMarkerReached or a negative status.
[[nodiscard]] int32_t DecodeHuffmanSymbol(JpegInputStream& stream,
                                          const JpegHuffmanDecodeTable& table, int32_t* symbol);
// The byte-wise part of a symbol near a 0xFF, a marker or the end of the data: fills
// the bit buffer, then decodes the symbol unless its longest code walk (17 bits) is held
// (*decoded says which). 0, kMarkerReached or a negative status.
int32_t SymbolFromStream(JpegInputStream& stream, const JpegHuffmanDecodeTable& t, int32_t* symbol,
                         bool* decoded);
// Restart processing after the MCU at column x, row y of an across x down grid: at
// every Ri-th MCU but the last, clears the predictors and the bit buffer and consumes
// the expected RSTn. A marker of a later restart point is kept until its own point
// (the intervals between decode as zero blocks), any other marker is kept for the
// marker loop. 0, JPEG_ERR_BAD_RST for an RSTn no remaining restart point can take,
// or the status of the marker search.
[[nodiscard]] int32_t ProcessRestartPoint(JpegInputStream& stream, JpegScanHeader& scan,
                                          int32_t across, int32_t down, int32_t x, int32_t y);
// ProcessRestartPoint after every MCU, where a scan without restarts (most) costs no call.
[[nodiscard]] inline int32_t ProcessRestart(JpegInputStream& stream, JpegScanHeader& scan,
                                            int32_t across, int32_t down, int32_t x, int32_t y) {
  if (scan.restart_interval == 0) return JPEG_SUCCESS;
  return ProcessRestartPoint(stream, scan, across, down, x, y);
}
// The block decoders of the routine table (plain versions), one bit reader held
// across the blocks of a call. The DC-only one stores coefficient 0 alone (0 where the
// data ended before it) and leaves the rest of each block as it is.
struct BlockCoding;
int32_t DecodeBlockPlain(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                         int16_t* blocks);
int32_t DecodeBlockDcOnlyPlain(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                               int16_t* blocks);
// The blocks of an MCU that a reduced read keeps whole and DC-only side by side, under one
// bit reader: block i as DecodeBlock where bit i of keep_mask is set, else as
// DecodeBlockDcOnly. Internal, beside the table: the version of the table's DecodeBlock.
using DecodeMixedRoutine = int32_t (*)(JpegInputStream* stream, const BlockCoding* coding,
                                       int32_t count, uint32_t keep_mask, int16_t* blocks);
int32_t DecodeBlockMixedPlain(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                              uint32_t keep_mask, int16_t* blocks);
DecodeMixedRoutine MixedDecoderOf(const RoutineTable& table);
// The same three for processors with BMI2 (simd/decode_block_bmi2.cpp).
int32_t DecodeBlockBmi2(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                        int16_t* blocks);
int32_t DecodeBlockDcOnlyBmi2(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                              int16_t* blocks);
int32_t DecodeBlockMixedBmi2(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                             uint32_t keep_mask, int16_t* blocks);

}  // namespace jpeg
