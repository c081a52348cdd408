// InverseDct8x8Precise for processors with AVX2, alone and with the dequantisation fused in:
// idct_precise_vector.h with one 256-bit register per eight 32-bit lanes.
#include "jpeg/simd/idct_precise_vector.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void InverseDct8x8PreciseAvx2(int16_t* block) {
  precise::InverseDct<false>(block, nullptr);
}

void DequantizeInverseDct8x8PreciseAvx2(int16_t* block, const int16_t* table) {
  precise::InverseDct<true>(block, table);
}

}  // namespace jpeg
