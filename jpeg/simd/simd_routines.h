// Declarations of the instruction-set kernels in jpeg/simd/ that the routine table
// installs. Each kernel has the contract of its plain counterpart.
#pragma once

#include <cstdint>

namespace jpeg {

void EndSimdEmms();
void DequantizeMultiplySse2(int16_t* block, const int16_t* table);
void InverseDct8x8PreciseSse2(int16_t* block);
void InverseDct8x8PreciseAvx2(int16_t* block);
void InverseDct8x8FastSse2(int16_t* block);
void InverseDct8x8FastAvx2(int16_t* block);
// DequantizeMultiply and InverseDct8x8Precise in one pass.
void DequantizeInverseDct8x8PreciseSse2(int16_t* block, const int16_t* table);
void DequantizeInverseDct8x8PreciseAvx2(int16_t* block, const int16_t* table);
// DequantizeScaled and InverseDct8x8Fast in one pass.
void DequantizeInverseDct8x8FastSse2(int16_t* block, const int16_t* table);
void DequantizeInverseDct8x8FastAvx2(int16_t* block, const int16_t* table);
// The reduced precise transforms, alone and with DequantizeMultiply fused in.
void InverseDct4x4PreciseSse2(int16_t* block);
void InverseDct4x4PreciseAvx2(int16_t* block);
void InverseDct2x2PreciseSse2(int16_t* block);
void InverseDct2x2PreciseAvx2(int16_t* block);
void DequantizeInverseDct4x4PreciseSse2(int16_t* block, const int16_t* table);
void DequantizeInverseDct4x4PreciseAvx2(int16_t* block, const int16_t* table);
void DequantizeInverseDct2x2PreciseSse2(int16_t* block, const int16_t* table);
void DequantizeInverseDct2x2PreciseAvx2(int16_t* block, const int16_t* table);

// The full-MCU colour kernels of paths 1-12, the gray copy and the two-channel 4:2:2
// packing (path 19), X(kernel, slot): each has an Sse2 and an Avx2 version
// (kernel##Sse2, kernel##Avx2) that write exactly the plain kernel's bytes.
#define JPEG_SIMD_OUTPUT_KERNELS(X)     \
  X(OutputGray, OutputGray)             \
  X(OutputPack422, OutputPack422)       \
  X(YccToRgb, OutputYccToRgb)           \
  X(YccToBgr, OutputYccToBgr)           \
  X(Ycc420ToRgb, OutputYcc420ToRgb)     \
  X(Ycc420ToBgr, OutputYcc420ToBgr)     \
  X(Ycc422ToRgb, OutputYcc422ToRgb)     \
  X(Ycc422ToBgr, OutputYcc422ToBgr)     \
  X(YccToRgba, OutputYccToRgba)         \
  X(Ycc420ToRgba, OutputYcc420ToRgba)   \
  X(Ycc422ToRgba, OutputYcc422ToRgba)   \
  X(YccaToRgba, OutputYccaToRgba)       \
  X(Ycca420ToRgba, OutputYcca420ToRgba) \
  X(Ycca422ToRgba, OutputYcca422ToRgba)
#define JPEG_DECLARE_SIMD_OUTPUT_KERNEL(kernel, slot)                              \
  void kernel##Sse2(const int16_t* const* blocks, uint8_t* out, int32_t row_step); \
  void kernel##Avx2(const int16_t* const* blocks, uint8_t* out, int32_t row_step);
JPEG_SIMD_OUTPUT_KERNELS(JPEG_DECLARE_SIMD_OUTPUT_KERNEL)
#undef JPEG_DECLARE_SIMD_OUTPUT_KERNEL

// The three-channel interleaves (paths 15 and 13, and gray pages into three or four
// channels), in AVX2 only: their byte shuffles have no SSE2 form.
void OutputInterleave3Avx2(const int16_t* const* blocks, uint8_t* out, int32_t row_step);
void OutputInterleave3AlphaAvx2(const int16_t* const* blocks, uint8_t* out, int32_t row_step);

// Whole MCUs of reduced reads of YCbCr into three channels, in AVX2 only: the writers that
// WholeReducedMcuWriterOf picks where the reduced transforms run in AVX2.
#define JPEG_DECLARE_REDUCED_WRITER(name) \
  void name(const int16_t* blocks, const int16_t* const* quant, uint8_t* out, int32_t row_step);
JPEG_DECLARE_REDUCED_WRITER(WriteReduced420HalfToRgbAvx2)
JPEG_DECLARE_REDUCED_WRITER(WriteReduced420HalfToBgrAvx2)
JPEG_DECLARE_REDUCED_WRITER(WriteReduced420QuarterToRgbAvx2)
JPEG_DECLARE_REDUCED_WRITER(WriteReduced420QuarterToBgrAvx2)
JPEG_DECLARE_REDUCED_WRITER(WriteReduced444HalfToRgbAvx2)
JPEG_DECLARE_REDUCED_WRITER(WriteReduced444HalfToBgrAvx2)
JPEG_DECLARE_REDUCED_WRITER(WriteReduced422HalfToRgbAvx2)
JPEG_DECLARE_REDUCED_WRITER(WriteReduced422HalfToBgrAvx2)
#undef JPEG_DECLARE_REDUCED_WRITER

}  // namespace jpeg
