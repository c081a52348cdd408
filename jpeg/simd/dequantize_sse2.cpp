// DequantizeMultiply for the SIMD classes: eight 16-bit products a register, of which the low
// halves are the defined result.
#include <emmintrin.h>

#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void DequantizeMultiplySse2(int16_t* block, const int16_t* table) {
  for (int i = 0; i < 64; i += 8) {
    auto* cells = reinterpret_cast<__m128i*>(block + i);
    const __m128i factors = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + i));
    _mm_storeu_si128(cells, _mm_mullo_epi16(_mm_loadu_si128(cells), factors));
  }
}

}  // namespace jpeg
