// The two-channel 4:2:2 packing's full-MCU kernel in AVX2: two rows of 16 pixels a
// step, Y(2k) Cb(k) Y(2k+1) Cr(k). Each sample gives its low byte, as in the plain
// kernel: masked to 0..255 first, packus_epi16 keeps it as it is. The packs and unpacks
// work within 128-bit halves, so the low half carries the first row, the high half the
// second.
#include <immintrin.h>

#include <cstddef>

#include "jpeg/simd/row_pair_avx2.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {
namespace {

// Two rows of 8 samples, masked to their low bytes.
__m256i LowHalves(const int16_t* samples) {
  return _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(samples)),
                          _mm256_set1_epi16(0xFF));
}

}  // namespace

void OutputPack422Avx2(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  for (int row = 0; row < 8; row += 2) {
    const __m256i luma =
        _mm256_packus_epi16(LowHalves(blocks[0] + 8 * row), LowHalves(blocks[0] + 64 + 8 * row));
    const __m256i cb = LowHalves(blocks[1] + 8 * row), cr = LowHalves(blocks[2] + 8 * row);
    const __m256i chroma =
        _mm256_packus_epi16(_mm256_unpacklo_epi16(cb, cr), _mm256_unpackhi_epi16(cb, cr));
    const __m256i left = _mm256_unpacklo_epi8(luma, chroma);   // pixels 0-7 of both rows
    const __m256i right = _mm256_unpackhi_epi8(luma, chroma);  // pixels 8-15
    StoreRowPair(out + static_cast<ptrdiff_t>(row) * row_step, row_step, left, right);
  }
}

}  // namespace jpeg
