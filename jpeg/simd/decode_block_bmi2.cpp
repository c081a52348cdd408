// The block decoders for processors with BMI2 (and BMI1 and MOVBE, which come with it): the
// plain block loop (block_decode_run.h) compiled with flag-free variable shifts (shlx, shrx),
// and with refills that load and turn the bytes in one instruction (movbe) and look for a
// 0xFF with fewer (andn). The refills are what this gains on: the pass over AC values (the
// DC-only decoder) refills most often.
#include "jpeg/block_decode_run.h"
#include "jpeg/huffman_decode.h"

namespace jpeg {

int32_t DecodeBlockBmi2(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                        int16_t* blocks) {
  return DecodeBlockRun<KeepAc::kAll>(*stream, coding, count, 0, blocks);
}

int32_t DecodeBlockDcOnlyBmi2(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                              int16_t* blocks) {
  return DecodeBlockRun<KeepAc::kNone>(*stream, coding, count, 0, blocks);
}

int32_t DecodeBlockMixedBmi2(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                             uint32_t keep_mask, int16_t* blocks) {
  return DecodeBlockRun<KeepAc::kMasked>(*stream, coding, count, keep_mask, blocks);
}

}  // namespace jpeg
