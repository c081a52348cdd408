// InverseDct8x8Precise for the SIMD classes, alone and with the dequantisation fused in:
// idct_precise_vector.h with two 128-bit registers per eight 32-bit lanes.
#include "jpeg/simd/idct_precise_vector.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void InverseDct8x8PreciseSse2(int16_t* block) {
  precise::InverseDct<false>(block, nullptr);
}

void DequantizeInverseDct8x8PreciseSse2(int16_t* block, const int16_t* table) {
  precise::InverseDct<true>(block, table);
}

}  // namespace jpeg
