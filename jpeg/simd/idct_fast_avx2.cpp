// InverseDct8x8Fast for processors with AVX2, alone and with the scaled dequantisation fused
// in: idct_fast_vector.h with one 256-bit register per eight 32-bit lanes.
#include "jpeg/simd/idct_fast_vector.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void InverseDct8x8FastAvx2(int16_t* block) {
  fast::InverseDct<false>(block, nullptr);
}

void DequantizeInverseDct8x8FastAvx2(int16_t* block, const int16_t* table) {
  fast::InverseDct<true>(block, table);
}

}  // namespace jpeg
