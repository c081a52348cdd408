// The gray copy's full-MCU kernel in SSE2: two rows of the block a step, each sample
// clamped to 0..255 by packus_epi16, as the plain kernel clamps it.
#include <emmintrin.h>

#include <cstddef>

#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void OutputGraySse2(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  const auto* samples = reinterpret_cast<const __m128i*>(blocks[0]);
  for (int row = 0; row < 8; row += 2) {
    const __m128i bytes =
        _mm_packus_epi16(_mm_loadu_si128(samples + row), _mm_loadu_si128(samples + row + 1));
    uint8_t* pixels = out + static_cast<ptrdiff_t>(row) * row_step;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels), bytes);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels + row_step), _mm_srli_si128(bytes, 8));
  }
}

}  // namespace jpeg
