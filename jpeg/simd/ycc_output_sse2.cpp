// Full-MCU YCbCr kernels of paths 1-12 in SSE2, eight pixels a step. The colour terms
// are the plain kernels' 16-bit rewrite (ycc_output.cpp) lane for lane, with the same
// wrap-around, and packus_epi16 is exactly their clamp to 0..255, so the bytes match
// the plain kernels for any samples. Pixels are interleaved with byte and word unpacks;
// three-byte pixels are then squeezed out of the four-byte ones with shifts, as SSE2 has
// no byte shuffle.
#include <emmintrin.h>

#include <cstddef>

#include "jpeg/simd/simd_routines.h"

namespace jpeg {
namespace {

struct Terms {
  __m128i red, green, blue;
};

// R = Y + red, G = Y − green, B = Y + blue (see RedTerm and friends in ycc_output.cpp).
Terms TermsOf(__m128i cb, __m128i cr) {
  const __m128i red = _mm_srli_epi16(
      _mm_add_epi16(_mm_mullo_epi16(cr, _mm_set1_epi16(103)), _mm_set1_epi16(11)), 8);
  const __m128i green =
      _mm_srai_epi16(_mm_add_epi16(_mm_sub_epi16(_mm_mullo_epi16(cb, _mm_set1_epi16(88)),
                                                 _mm_mullo_epi16(cr, _mm_set1_epi16(73))),
                                   _mm_set1_epi16(10)),
                     8);
  const __m128i blue = _mm_srli_epi16(
      _mm_add_epi16(_mm_mullo_epi16(cb, _mm_set1_epi16(198)), _mm_set1_epi16(175)), 8);
  return {_mm_add_epi16(_mm_sub_epi16(cr, _mm_set1_epi16(179)), red),
          _mm_add_epi16(_mm_sub_epi16(cr, _mm_set1_epi16(136)), green),
          _mm_add_epi16(_mm_sub_epi16(cb, _mm_set1_epi16(227)), blue)};
}

// Chroma lane k serves pixels 2k and 2k+1: the left or right half of a row, doubled.
Terms Widen(const Terms& t, bool right) {
  const auto widen = [right](__m128i v) {
    return right ? _mm_unpackhi_epi16(v, v) : _mm_unpacklo_epi16(v, v);
  };
  return {widen(t.red), widen(t.green), widen(t.blue)};
}

enum class Order { kRgb, kBgr, kRgba, kInvertedRgba };

template <Order kOrder>
constexpr int kChannels = kOrder == Order::kRgb || kOrder == Order::kBgr ? 3 : 4;

// Squeezes four zero-topped four-byte pixels into the low 12 bytes.
__m128i Squeeze(__m128i pixels) {
  const __m128i even = _mm_set_epi32(0, -1, 0, -1);
  const __m128i pairs =
      _mm_or_si128(_mm_and_si128(pixels, even), _mm_srli_epi64(_mm_andnot_si128(even, pixels), 8));
  return _mm_or_si128(_mm_move_epi64(pairs),
                      _mm_srli_si128(_mm_unpackhi_epi64(_mm_setzero_si128(), pairs), 2));
}

// Converts and stores 8 pixels from their luma, widened terms and fourth samples.
template <Order kOrder>
void StorePixels(__m128i y, const Terms& t, __m128i fourth, uint8_t* out) {
  const __m128i r = _mm_add_epi16(y, t.red);
  const __m128i g = _mm_sub_epi16(y, t.green);
  const __m128i b = _mm_add_epi16(y, t.blue);
  constexpr bool kInverted = kOrder == Order::kInvertedRgba;
  __m128i last = _mm_setzero_si128();
  if constexpr (kOrder == Order::kRgba) last = _mm_set1_epi16(255);
  if constexpr (kInverted) last = _mm_and_si128(fourth, _mm_set1_epi16(0xFF));
  // Channels 0 and 2, channels 1 and 3, as bytes.
  __m128i first_third = kOrder == Order::kBgr ? _mm_packus_epi16(b, r) : _mm_packus_epi16(r, b);
  __m128i second_fourth = _mm_packus_epi16(g, last);
  if constexpr (kInverted) {
    // The colour bytes inverted; the fourth sample's low byte as it is.
    first_third = _mm_xor_si128(first_third, _mm_set1_epi8(-1));
    second_fourth = _mm_xor_si128(second_fourth, _mm_set_epi64x(0, -1));
  }
  const __m128i low = _mm_unpacklo_epi8(first_third, second_fourth);
  const __m128i high = _mm_unpackhi_epi8(first_third, second_fourth);
  const __m128i pixels0 = _mm_unpacklo_epi16(low, high);
  const __m128i pixels1 = _mm_unpackhi_epi16(low, high);
  if constexpr (kChannels<kOrder> == 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), pixels0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), pixels1);
  } else {
    const __m128i first = Squeeze(pixels0), second = Squeeze(pixels1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_or_si128(first, _mm_slli_si128(second, 12)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm_srli_si128(second, 4));
  }
}

__m128i Load(const int16_t* samples) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples));
}

// blocks: the luma blocks in raster order, Cb, Cr, then the fourth component's blocks
// laid out like luma. kHShift and kVShift are log2 of the chroma subsampling.
template <int kHShift, int kVShift, Order kOrder>
void ConvertMcu(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  constexpr bool kFour = kOrder == Order::kInvertedRgba;
  for (int chroma_row = 0; chroma_row < 8; ++chroma_row) {
    const Terms terms = TermsOf(Load(blocks[1] + 8 * chroma_row), Load(blocks[2] + 8 * chroma_row));
    for (int sub = 0; sub < (1 << kVShift); ++sub) {
      const int row = (chroma_row << kVShift) + sub;
      uint8_t* pixels = out + static_cast<ptrdiff_t>(row) * row_step;
      for (int half = 0; half < (1 << kHShift); ++half) {
        const int cell = 64 * ((row >> 3 << kHShift) + half) + 8 * (row & 7);
        const __m128i fourth = kFour ? Load(blocks[3] + cell) : _mm_setzero_si128();
        StorePixels<kOrder>(Load(blocks[0] + cell), kHShift ? Widen(terms, half) : terms, fourth,
                            pixels + 8 * half * kChannels<kOrder>);
      }
    }
  }
}

}  // namespace

void YccToRgbSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<0, 0, Order::kRgb>(b, o, s);
}
void YccToBgrSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<0, 0, Order::kBgr>(b, o, s);
}
void Ycc420ToRgbSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<1, 1, Order::kRgb>(b, o, s);
}
void Ycc420ToBgrSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<1, 1, Order::kBgr>(b, o, s);
}
void Ycc422ToRgbSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<1, 0, Order::kRgb>(b, o, s);
}
void Ycc422ToBgrSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<1, 0, Order::kBgr>(b, o, s);
}
void YccToRgbaSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<0, 0, Order::kRgba>(b, o, s);
}
void Ycc420ToRgbaSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<1, 1, Order::kRgba>(b, o, s);
}
void Ycc422ToRgbaSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<1, 0, Order::kRgba>(b, o, s);
}
void YccaToRgbaSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<0, 0, Order::kInvertedRgba>(b, o, s);
}
void Ycca420ToRgbaSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<1, 1, Order::kInvertedRgba>(b, o, s);
}
void Ycca422ToRgbaSse2(const int16_t* const* b, uint8_t* o, int32_t s) {
  ConvertMcu<1, 0, Order::kInvertedRgba>(b, o, s);
}

}  // namespace jpeg
