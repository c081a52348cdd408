// InverseDct4x4Precise and InverseDct2x2Precise, alone and with the dequantisation fused in,
// for the SIMD classes: idct_reduced_vector.h with two 128-bit registers per eight
// 32-bit lanes in the first pass.
#include "jpeg/simd/idct_reduced_vector.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void InverseDct4x4PreciseSse2(int16_t* block) {
  reduced::InverseDct4x4<false>(block, nullptr);
}

void DequantizeInverseDct4x4PreciseSse2(int16_t* block, const int16_t* table) {
  reduced::InverseDct4x4<true>(block, table);
}

void InverseDct2x2PreciseSse2(int16_t* block) {
  reduced::InverseDct2x2<false>(block, nullptr);
}

void DequantizeInverseDct2x2PreciseSse2(int16_t* block, const int16_t* table) {
  reduced::InverseDct2x2<true>(block, table);
}

}  // namespace jpeg
