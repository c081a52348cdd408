// The gray copy's full-MCU kernel in AVX2: four rows of the block a step, each sample
// clamped to 0..255 by packus_epi16, as the plain kernel clamps it. The pack works
// within 128-bit halves, so the halves hold rows 0 and 2, then rows 1 and 3.
#include <immintrin.h>

#include <cstddef>

#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void OutputGrayAvx2(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  const auto* samples = reinterpret_cast<const __m256i*>(blocks[0]);
  for (int row = 0; row < 8; row += 4) {
    const __m256i bytes = _mm256_packus_epi16(_mm256_loadu_si256(samples + row / 2),
                                              _mm256_loadu_si256(samples + row / 2 + 1));
    const __m128i rows02 = _mm256_castsi256_si128(bytes);
    const __m128i rows13 = _mm256_extracti128_si256(bytes, 1);
    uint8_t* pixels = out + static_cast<ptrdiff_t>(row) * row_step;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels), rows02);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels + row_step), rows13);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels + 2 * row_step), _mm_srli_si128(rows02, 8));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels + 3 * row_step), _mm_srli_si128(rows13, 8));
  }
}

}  // namespace jpeg
