// InverseDct8x8Fast for the SIMD classes, alone and with the scaled dequantisation fused
// in: idct_fast_vector.h with two 128-bit registers per eight 32-bit lanes.
#include "jpeg/simd/idct_fast_vector.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void InverseDct8x8FastSse2(int16_t* block) {
  fast::InverseDct<false>(block, nullptr);
}

void DequantizeInverseDct8x8FastSse2(int16_t* block, const int16_t* table) {
  fast::InverseDct<true>(block, table);
}

}  // namespace jpeg
