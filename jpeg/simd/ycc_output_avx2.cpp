// Full-MCU YCbCr kernels of paths 1-12 in AVX2, sixteen pixels a step: one whole row of
// a 4:2:2 or 4:2:0 MCU (both luma blocks side by side), or two rows of a 1x1 MCU. The
// colour terms are the plain kernels' 16-bit rewrite (ycc_output.cpp) lane for lane,
// with the same wrap-around, and packus_epi16 is exactly their clamp to 0..255, so the
// bytes match the plain kernels for any samples. The 256-bit unpacks and packs work
// within 128-bit halves, so each half carries its own 8 pixels; three-byte pixels are
// squeezed with a byte shuffle and joined across the halves with a dword permute.
#include <immintrin.h>

#include <cstddef>

#include "jpeg/simd/simd_routines.h"

namespace jpeg {
namespace {

struct Terms {
  __m256i red, green, blue;
};

// R = Y + red, G = Y − green, B = Y + blue (see RedTerm and friends in ycc_output.cpp).
Terms TermsOf(__m256i cb, __m256i cr) {
  const __m256i red = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(cr, _mm256_set1_epi16(103)), _mm256_set1_epi16(11)), 8);
  const __m256i green = _mm256_srai_epi16(
      _mm256_add_epi16(_mm256_sub_epi16(_mm256_mullo_epi16(cb, _mm256_set1_epi16(88)),
                                        _mm256_mullo_epi16(cr, _mm256_set1_epi16(73))),
                       _mm256_set1_epi16(10)),
      8);
  const __m256i blue = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(cb, _mm256_set1_epi16(198)), _mm256_set1_epi16(175)), 8);
  return {_mm256_add_epi16(_mm256_sub_epi16(cr, _mm256_set1_epi16(179)), red),
          _mm256_add_epi16(_mm256_sub_epi16(cr, _mm256_set1_epi16(136)), green),
          _mm256_add_epi16(_mm256_sub_epi16(cb, _mm256_set1_epi16(227)), blue)};
}

enum class Order { kRgb, kBgr, kRgba, kInvertedRgba };

template <Order kOrder>
constexpr int kChannels = kOrder == Order::kRgb || kOrder == Order::kBgr ? 3 : 4;

__m256i Load16(const int16_t* samples) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(samples));
}

// Two rows of 8 samples, the first in the low half.
__m256i Load8And8(const int16_t* low, const int16_t* high) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

// 8 chroma samples, each doubled across the 16 pixels of a row.
__m256i LoadWidened(const int16_t* samples) {
  const __m256i halves = _mm256_permute4x64_epi64(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(samples))),
      _MM_SHUFFLE(1, 1, 0, 0));
  return _mm256_unpacklo_epi16(halves, halves);
}

// Stores 8 four-byte pixels (0-3 in the low half, 4-7 in the high half) in the
// layout's bytes.
template <Order kOrder>
void StoreGroup(__m256i pixels, uint8_t* out) {
  if constexpr (kChannels<kOrder> == 4) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), pixels);
  } else {
    const __m256i squeeze =
        _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6,
                         8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, squeeze),
                                                       _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
  }
}

// Converts 16 pixels from their luma, terms and fourth samples (lanes in pixel order),
// pixels 0-7 to `out0` and 8-15 to `out1`.
template <Order kOrder>
void StorePixels(__m256i y, const Terms& t, __m256i fourth, uint8_t* out0, uint8_t* out1) {
  const __m256i r = _mm256_add_epi16(y, t.red);
  const __m256i g = _mm256_sub_epi16(y, t.green);
  const __m256i b = _mm256_add_epi16(y, t.blue);
  constexpr bool kInverted = kOrder == Order::kInvertedRgba;
  __m256i last = _mm256_setzero_si256();
  if constexpr (kOrder == Order::kRgba) last = _mm256_set1_epi16(255);
  if constexpr (kInverted) last = _mm256_and_si256(fourth, _mm256_set1_epi16(0xFF));
  // Per half: channels 0 and 2, channels 1 and 3, as bytes.
  __m256i first_third =
      kOrder == Order::kBgr ? _mm256_packus_epi16(b, r) : _mm256_packus_epi16(r, b);
  __m256i second_fourth = _mm256_packus_epi16(g, last);
  if constexpr (kInverted) {
    // The colour bytes inverted; the fourth sample's low byte as it is.
    first_third = _mm256_xor_si256(first_third, _mm256_set1_epi8(-1));
    second_fourth = _mm256_xor_si256(second_fourth, _mm256_set_epi64x(0, -1, 0, -1));
  }
  const __m256i low = _mm256_unpacklo_epi8(first_third, second_fourth);
  const __m256i high = _mm256_unpackhi_epi8(first_third, second_fourth);
  const __m256i quarter0 = _mm256_unpacklo_epi16(low, high);  // pixels 0-3 | 8-11
  const __m256i quarter1 = _mm256_unpackhi_epi16(low, high);  // pixels 4-7 | 12-15
  StoreGroup<kOrder>(_mm256_permute2x128_si256(quarter0, quarter1, 0x20), out0);
  StoreGroup<kOrder>(_mm256_permute2x128_si256(quarter0, quarter1, 0x31), out1);
}

// blocks: the luma blocks in raster order, Cb, Cr, then the fourth component's blocks
// laid out like luma. Chroma subsampled 2x1 or 2x2 (kVShift 0 or 1): a step is a row.
template <int kVShift, Order kOrder>
void ConvertWideMcu(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  constexpr bool kFour = kOrder == Order::kInvertedRgba;
  for (int chroma_row = 0; chroma_row < 8; ++chroma_row) {
    const Terms terms =
        TermsOf(LoadWidened(blocks[1] + 8 * chroma_row), LoadWidened(blocks[2] + 8 * chroma_row));
    for (int sub = 0; sub < (1 << kVShift); ++sub) {
      const int row = (chroma_row << kVShift) + sub;
      const int cell = 128 * (row >> 3) + 8 * (row & 7);
      const __m256i fourth =
          kFour ? Load8And8(blocks[3] + cell, blocks[3] + cell + 64) : _mm256_setzero_si256();
      uint8_t* pixels = out + static_cast<ptrdiff_t>(row) * row_step;
      StorePixels<kOrder>(Load8And8(blocks[0] + cell, blocks[0] + cell + 64), terms, fourth, pixels,
                          pixels + 8 * kChannels<kOrder>);
    }
  }
}

// Chroma not subsampled: a step is two rows.
template <Order kOrder>
void ConvertFullMcu(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  constexpr bool kFour = kOrder == Order::kInvertedRgba;
  for (int row = 0; row < 8; row += 2) {
    const __m256i fourth = kFour ? Load16(blocks[3] + 8 * row) : _mm256_setzero_si256();
    uint8_t* pixels = out + static_cast<ptrdiff_t>(row) * row_step;
    StorePixels<kOrder>(Load16(blocks[0] + 8 * row),
                        TermsOf(Load16(blocks[1] + 8 * row), Load16(blocks[2] + 8 * row)), fourth,
                        pixels, pixels + row_step);
  }
}

}  // namespace

void YccToRgbAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertFullMcu<Order::kRgb>(b, o, s);
}
void YccToBgrAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertFullMcu<Order::kBgr>(b, o, s);
}
void Ycc420ToRgbAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertWideMcu<1, Order::kRgb>(b, o, s);
}
void Ycc420ToBgrAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertWideMcu<1, Order::kBgr>(b, o, s);
}
void Ycc422ToRgbAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertWideMcu<0, Order::kRgb>(b, o, s);
}
void Ycc422ToBgrAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertWideMcu<0, Order::kBgr>(b, o, s);
}
void YccToRgbaAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertFullMcu<Order::kRgba>(b, o, s);
}
void Ycc420ToRgbaAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertWideMcu<1, Order::kRgba>(b, o, s);
}
void Ycc422ToRgbaAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertWideMcu<0, Order::kRgba>(b, o, s);
}
void YccaToRgbaAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertFullMcu<Order::kInvertedRgba>(b, o, s);
}
void Ycca420ToRgbaAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertWideMcu<1, Order::kInvertedRgba>(b, o, s);
}
void Ycca422ToRgbaAvx2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertWideMcu<0, Order::kInvertedRgba>(b, o, s);
}

}  // namespace jpeg
