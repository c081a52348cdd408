// EndSimd for the SIMD classes: EMMS, which leaves the x87/MMX register state clean
// for the caller after a stretch of SIMD work.
#include <mmintrin.h>

#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void EndSimdEmms() {
  _mm_empty();
}

}  // namespace jpeg
