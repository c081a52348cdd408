// InverseDct8x8Precise for processors with AVX2: the all-lanes form of idct_precise_8x8.h,
// compiled for AVX2 so that a 32-bit value of all eight lanes sits in one register.
#include "jpeg/idct_precise_8x8.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void InverseDct8x8PreciseAvx2(int16_t* block) {
  PreciseInverseDctLanes(block);
}

}  // namespace jpeg
