// The two-channel 4:2:2 packing's full-MCU kernel in SSE2: a row of 16 pixels a step,
// Y(2k) Cb(k) Y(2k+1) Cr(k). Each sample gives its low byte, as in the plain kernel:
// masked to 0..255 first, packus_epi16 keeps it as it is.
#include <emmintrin.h>

#include <cstddef>

#include "jpeg/simd/simd_routines.h"

namespace jpeg {
namespace {

__m128i LowBytes(const int16_t* first, const int16_t* second) {
  const __m128i mask = _mm_set1_epi16(0xFF);
  return _mm_packus_epi16(
      _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first)), mask),
      _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(second)), mask));
}

}  // namespace

void OutputPack422Sse2(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  const __m128i mask = _mm_set1_epi16(0xFF);
  for (int row = 0; row < 8; ++row) {
    const __m128i luma = LowBytes(blocks[0] + 8 * row, blocks[0] + 64 + 8 * row);
    const __m128i cb =
        _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks[1] + 8 * row)), mask);
    const __m128i cr =
        _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks[2] + 8 * row)), mask);
    const __m128i chroma = _mm_packus_epi16(_mm_unpacklo_epi16(cb, cr), _mm_unpackhi_epi16(cb, cr));
    auto* pixels = reinterpret_cast<__m128i*>(out + static_cast<ptrdiff_t>(row) * row_step);
    _mm_storeu_si128(pixels, _mm_unpacklo_epi8(luma, chroma));
    _mm_storeu_si128(pixels + 1, _mm_unpackhi_epi8(luma, chroma));
  }
}

}  // namespace jpeg
