// The three-channel interleaves' full-MCU kernels in AVX2 (paths 15 and 13), which
// also write gray pages into three or four channels: two rows a step, the first row in
// the low 128-bit half, the second in the high one. Each sample gives its low byte, as
// in the plain kernels: masked to 0..255 first, packus_epi16 keeps it as it is. The
// pixels are gathered with byte shuffles, which work within the halves.
#include <immintrin.h>

#include <array>
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

// Shuffle indices for `channels`-byte pixels from a half holding a row of the first
// component (bytes 0-7) and of the second (8-15), or (`third`) of the third in bytes
// 0-7: output bytes first..first+15 of the row, none (0x80) where another source or
// the alpha byte goes.
constexpr std::array<char, 32> ShuffleIndices(int32_t channels, bool third, int32_t first) {
  std::array<char, 32> index{};
  for (int32_t i = 0; i < 32; ++i) {
    const int32_t byte = first + i % 16, pixel = byte / channels, channel = byte % channels;
    const bool wanted = byte < 8 * channels && (third ? channel == 2 : channel < 2);
    index[i] = static_cast<char>(!wanted ? 0x80 : third ? pixel : 8 * channel + pixel);
  }
  return index;
}

// Output bytes first..first+15 of both rows of `channels`-byte pixels from the two sources.
template <int32_t kChannels, int32_t kFirst>
__m256i PixelBytes(__m256i first_two, __m256i third) {
  alignas(32) static constexpr std::array<char, 32> kTwo = ShuffleIndices(kChannels, false, kFirst);
  alignas(32) static constexpr std::array<char, 32> kThird =
      ShuffleIndices(kChannels, true, kFirst);
  return _mm256_or_si256(
      _mm256_shuffle_epi8(first_two, _mm256_load_si256(reinterpret_cast<const __m256i*>(&kTwo))),
      _mm256_shuffle_epi8(third, _mm256_load_si256(reinterpret_cast<const __m256i*>(&kThird))));
}

// Rows row and row + 1: the first two components' bytes side by side, and the third's.
void PackRows(const int16_t* const* blocks, int32_t row, __m256i& first_two, __m256i& third) {
  first_two = _mm256_packus_epi16(LowHalves(blocks[0] + 8 * row), LowHalves(blocks[1] + 8 * row));
  const __m256i samples = LowHalves(blocks[2] + 8 * row);
  third = _mm256_packus_epi16(samples, samples);
}

}  // namespace

void OutputInterleave3Avx2(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  for (int32_t row = 0; row < 8; row += 2) {
    __m256i first_two, third;
    PackRows(blocks, row, first_two, third);
    const __m256i low = PixelBytes<3, 0>(first_two, third);
    const __m256i high = PixelBytes<3, 16>(first_two, third);  // bytes 16-23
    uint8_t* pixels = out + static_cast<ptrdiff_t>(row) * row_step;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm256_castsi256_si128(low));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels + 16), _mm256_castsi256_si128(high));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + row_step),
                     _mm256_extracti128_si256(low, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels + row_step + 16),
                     _mm256_extracti128_si256(high, 1));
  }
}

void OutputInterleave3AlphaAvx2(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  const __m256i alpha = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
  for (int32_t row = 0; row < 8; row += 2) {
    __m256i first_two, third;
    PackRows(blocks, row, first_two, third);
    const __m256i left = _mm256_or_si256(PixelBytes<4, 0>(first_two, third), alpha);
    const __m256i right = _mm256_or_si256(PixelBytes<4, 16>(first_two, third), alpha);
    StoreRowPair(out + static_cast<ptrdiff_t>(row) * row_step, row_step, left, right);
  }
}

}  // namespace jpeg
