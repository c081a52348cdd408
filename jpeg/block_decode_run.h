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

// The block loop (T.81 F.2.2.1, F.2.2.2); kStoreAc false passes over the AC values.
template <bool kStoreAc>
[[gnu::always_inline]] inline int32_t DecodeBlockSteps(BlockReader& reader, const HuffmanLookup& dc,
                                                       const HuffmanLookup& ac, int32_t* dc_pred,
                                                       int16_t* block) {
  int32_t symbol = 0, value = 0;
  int32_t status = Step<true>(reader, dc, &symbol, &value);
  if (status != JPEG_SUCCESS) return BlockStatus(status);
  if ((symbol & 0x0F) != 0) *dc_pred = static_cast<int16_t>(*dc_pred + value);
  block[0] = static_cast<int16_t>(*dc_pred);
  for (int32_t k = 1; k < 64;) {
    if (kStoreAc && reader.Ensure(kLongestStep)) [[likely]] {
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
    }
    if (!kStoreAc) {
      // Several AC steps at a time while they leave the block short of its end: a loop
      // of its own, as nothing in it can reach the end.
      bool ends = false;
      while (reader.Ensure(kLongestPass)) [[likely]] {
          const uint32_t index = reader.Peek(kPassBits);
          const int32_t taken = ac.pass_bits[index];
          const int32_t room = static_cast<int8_t>(ac.pass_moves[index]);
          if (k > room) {
            // Steps that end the block, where none of them runs past its last position.
            ends = room < 0 && k + (room & 0x7F) <= 64;
            if (ends) reader.Skip(taken);
            break;
          }
          reader.Skip(taken);
          k += 63 - room;
        }
      if (ends) break;
    }
    status = Step<kStoreAc>(reader, ac, &symbol, &value);
    if (status != JPEG_SUCCESS) return BlockStatus(status);
    const int32_t r = symbol >> 4, size = symbol & 0x0F;
    if (size == 0) {
      if (r != 15) break;  // end of block
      k += 16;             // ZRL
      continue;
    }
    if (kStoreAc) block[kNaturalOrder[k + r]] = static_cast<int16_t>(value);
    k += r + 1;
  }
  return JPEG_SUCCESS;
}

// Copied rather than set, so that clearing a block is a few vector stores.
alignas(32) constexpr int16_t kZeroBlock[64] = {};

template <bool kStoreAc>
int32_t DecodeBlockRun(JpegInputStream& stream, const BlockCoding* coding, int32_t count,
                       int16_t* blocks) {
  BlockReader reader(stream);
  int32_t status = JPEG_SUCCESS;
  for (int32_t i = 0; i < count && status == JPEG_SUCCESS; ++i) {
    const BlockCoding& c = coding[i];
    int16_t* block = blocks + 64 * i;
    if (kStoreAc) std::memcpy(block, kZeroBlock, sizeof kZeroBlock);
    status = DecodeBlockSteps<kStoreAc>(reader, *c.dc, *c.ac, c.dc_pred, block);
  }
  reader.Finish();
  return status;
}

}  // namespace
}  // namespace jpeg
