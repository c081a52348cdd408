// The sequential block loop (T.81 F.2.2.1, F.2.2.2) over the block-wise bit reader, as
// templates that each routine-table version of the block decoders instantiates in its own
// file: the same source compiled with that file's instruction-set flags. Internal linkage
// keeps every file's copy its own, so no version's instructions reach another's callers.
#pragma once

#include <cstdint>
#include <cstring>

#include "jpeg/block_reader.h"
#include "jpeg/huffman_decode.h"
#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/quantization.h"
#include "jpeg/routine_table.h"

namespace jpeg {
namespace {

// One decoding step near a 0xFF, a marker or the end of the data: 0, kMarkerReached
// or a negative status.
[[gnu::always_inline]] inline int32_t StepNearEnd(BlockReader& reader,
                                                  const JpegHuffmanDecodeTable& t, int32_t* symbol,
                                                  int32_t* value) {
  int32_t status = reader.Symbol(t, symbol);
  if (status == JPEG_SUCCESS && (*symbol & 0x0F) != 0) status = reader.Value(*symbol & 0x0F, value);
  return status;
}

template <bool kTakeValue>
[[gnu::always_inline]] inline int32_t Step(BlockReader& reader, const HuffmanLookup& t,
                                           int32_t* symbol, int32_t* value) {
  if (reader.Ensure(kLongestStep)) [[likely]] {
    *symbol = HeldStep<kTakeValue>(reader, t, value);
    return JPEG_SUCCESS;
  }
  return StepNearEnd(reader, t.table, symbol, value);
}

// The AC values of a block (T.81 F.2.2.2) into `block`.
[[gnu::always_inline]] inline int32_t DecodeAcSteps(BlockReader& reader, const HuffmanLookup& ac,
                                                    int16_t* block) {
  int32_t symbol = 0, value = 0;
  for (int32_t k = 1; k < 64;) {
    if (reader.Ensure(kLookupBits)) [[likely]] {
      // The common step, taken first: a code and its value bits within the lookup,
      // a coefficient stored.
      const uint32_t step = ac.steps[reader.Peek(kLookupBits)];
      const auto coefficient = static_cast<int32_t>(step) >> 16;
      if (coefficient != 0) [[likely]] {
        // Masked as the shift masks its count, so nothing stands between the lookup and
        // the shift that the next lookup waits for.
        reader.Skip(static_cast<int32_t>(step & 63));
        k += static_cast<int32_t>(step >> 12 & 0x0F);  // the zeros before it
        block[kNaturalOrder[k++]] = static_cast<int16_t>(coefficient);
        continue;
      }
      if ((step & kStepWhole) != 0) {  // size 0: the end of block or a ZRL
        reader.Skip(static_cast<int32_t>(step & 63));
        if ((step >> 12 & 0x0F) != 15) break;
        k += 16;
        continue;
      }
    }
    const int32_t status = Step<true>(reader, ac, &symbol, &value);
    if (status != JPEG_SUCCESS) return BlockStatus(status);
    const int32_t r = symbol >> 4, size = symbol & 0x0F;
    if (size == 0) {
      if (r != 15) break;  // end of block
      k += 16;             // ZRL
      continue;
    }
    block[kNaturalOrder[k + r]] = static_cast<int16_t>(value);
    k += r + 1;
  }
  return JPEG_SUCCESS;
}

// What one pass over AC values did.
enum class Pass { kGoesOn, kEndsBlock, kNearEnd };

// One lookup's AC steps from kLongestPass bits held. `left` counts the positions after
// the next one (63 less the next): steps that leave the block short of its end are taken,
// as are steps that end it where none runs past its last position; any others are left
// to the step decoder.
[[gnu::always_inline]] inline Pass PassOver(BlockReader& reader, const HuffmanLookup& ac,
                                            int32_t& left) {
  const uint32_t index = reader.Peek(kPassBits);
  const int32_t taken = ac.passes->bits[index];
  const auto moves = static_cast<int32_t>(ac.passes->moves[index]);
  if (moves > left) {
    if ((moves & kPassEndsBlock) == 0 || (moves & 0x7F) > left + 1) return Pass::kNearEnd;
    reader.Skip(taken);
    return Pass::kEndsBlock;
  }
  reader.Skip(taken);
  left -= moves;
  return Pass::kGoesOn;
}

// Passes over the AC values of a block, through the pass lookup that `ac` must hold: two
// passes to a refill while the data allows, so that the refill comes at a steady beat the
// processor predicts rather than as the bits run low; the step decoder near the block's
// end.
[[gnu::always_inline]] inline int32_t PassOverAcSteps(BlockReader& reader,
                                                      const HuffmanLookup& ac) {
  int32_t symbol = 0, value = 0;
  int32_t left = 62;
  for (;;) {
    Pass pass = Pass::kGoesOn;
    while (pass == Pass::kGoesOn && reader.Ensure(3 * kLongestPass)) [[likely]] {
        pass = PassOver(reader, ac, left);
        if (pass == Pass::kGoesOn) pass = PassOver(reader, ac, left);
        if (pass == Pass::kGoesOn) pass = PassOver(reader, ac, left);
      }
    while (pass == Pass::kGoesOn && reader.Ensure(kLongestPass)) pass = PassOver(reader, ac, left);
    if (pass == Pass::kEndsBlock) return JPEG_SUCCESS;
    const int32_t status = Step<false>(reader, ac, &symbol, &value);
    if (status != JPEG_SUCCESS) return BlockStatus(status);
    const int32_t r = symbol >> 4, size = symbol & 0x0F;
    if (size == 0 && r != 15) return JPEG_SUCCESS;  // end of block
    left -= size == 0 ? 16 : r + 1;                 // ZRL or a value
    if (left < 0) return JPEG_SUCCESS;
  }
}

// The block loop (T.81 F.2.2.1, F.2.2.2); kStoreAc false passes over the AC values, and
// stores coefficient 0 alone: 0 where the data ended before it, as in a whole block.
template <bool kStoreAc>
[[gnu::always_inline]] inline int32_t DecodeBlockSteps(BlockReader& reader, const HuffmanLookup& dc,
                                                       const HuffmanLookup& ac, int32_t* dc_pred,
                                                       int16_t* block) {
  // The common step first, on the fewest bits it can take: a code and its value bits
  // within the lookup, a difference of 0 included, so that neither the bits held nor the
  // value decide a branch the processor mispredicts.
  const uint32_t step = reader.Ensure(kLookupBits) ? dc.steps[reader.Peek(kLookupBits)] : 0;
  if ((step & kStepWhole) != 0) [[likely]] {
    reader.Skip(static_cast<int32_t>(step & 63));
    *dc_pred = static_cast<int16_t>(*dc_pred + (static_cast<int32_t>(step) >> 16));
  } else {
    int32_t symbol = 0, value = 0;
    const int32_t status = Step<true>(reader, dc, &symbol, &value);
    if (status != JPEG_SUCCESS) [[unlikely]] {
      if (!kStoreAc) block[0] = 0;
      return BlockStatus(status);
    }
    if ((symbol & 0x0F) != 0) *dc_pred = static_cast<int16_t>(*dc_pred + value);
  }
  block[0] = static_cast<int16_t>(*dc_pred);
  return kStoreAc ? DecodeAcSteps(reader, ac, block) : PassOverAcSteps(reader, ac);
}

// Copied rather than set, so that clearing a block is a few vector stores.
alignas(32) constexpr int16_t kZeroBlock[64] = {};

// Which blocks of a run keep their AC values.
enum class KeepAc { kAll, kNone, kMasked };

// `count` blocks under one bit reader; with KeepAc::kMasked, block i keeps its AC values
// where bit i of `keep_mask` is set (a pattern that repeats with every MCU, so the choice
// is a branch the processor predicts).
template <KeepAc kKeep>
int32_t DecodeBlockRun(JpegInputStream& stream, const BlockCoding* coding, int32_t count,
                       uint32_t keep_mask, int16_t* blocks) {
  BlockReader reader(stream);
  int32_t status = JPEG_SUCCESS;
  for (int32_t i = 0; i < count && status == JPEG_SUCCESS; ++i) {
    const BlockCoding& c = coding[i];
    int16_t* block = blocks + 64 * i;
    if (kKeep == KeepAc::kAll || (kKeep == KeepAc::kMasked && (keep_mask >> i & 1) != 0)) {
      std::memcpy(block, kZeroBlock, sizeof kZeroBlock);
      status = DecodeBlockSteps<true>(reader, *c.dc, *c.ac, c.dc_pred, block);
    } else {
      status = DecodeBlockSteps<false>(reader, *c.dc, *c.ac, c.dc_pred, block);
    }
  }
  reader.Finish();
  return status;
}

}  // namespace
}  // namespace jpeg
