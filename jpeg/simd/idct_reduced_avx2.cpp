// InverseDct4x4Precise and InverseDct2x2Precise, alone and with the dequantisation fused in,
// for processors with AVX2: idct_reduced_vector.h with one 256-bit register
// per eight 32-bit lanes in the first pass and 32-bit multiplies in the second.
#include "jpeg/simd/idct_reduced_vector.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void InverseDct4x4PreciseAvx2(int16_t* block) {
  reduced::InverseDct4x4<false>(block, nullptr);
}

void DequantizeInverseDct4x4PreciseAvx2(int16_t* block, const int16_t* table) {
  reduced::InverseDct4x4<true>(block, table);
}

void InverseDct2x2PreciseAvx2(int16_t* block) {
  reduced::InverseDct2x2<false>(block, nullptr);
}

void DequantizeInverseDct2x2PreciseAvx2(int16_t* block, const int16_t* table) {
  reduced::InverseDct2x2<true>(block, table);
}

}  // namespace jpeg
