// Whole MCUs of reduced reads in AVX2: YCbCr 4:2:0 at half and quarter size and 4:4:4 and 4:2:2
// at half size into three-channel RGB or BGR, sixteen pixels a step (two rows of an 8-pixel MCU, or
// a whole 4-pixel one). The generic path's in-place equations in 16-bit lanes as ycc_terms.h
// rewrites them, with the same wrap-around, and packus_epi16 is exactly their clamp to 0..255,
// so the bytes are the plain writer's for any samples. Each 128-bit half of a step's pixels
// packs into 12 bytes, which are stored as 8 and 4, so no byte beyond the MCU is written.
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "jpeg/simd/simd_routines.h"

namespace jpeg {
namespace {

// 4 samples, and 2, in the low lanes.
__m128i Load4(const int16_t* samples) {
  return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples));
}
__m128i Load2(const int16_t* samples) {
  int32_t pair;
  std::memcpy(&pair, samples, sizeof pair);
  return _mm_cvtsi32_si128(pair);
}

__m256i Join(__m128i low, __m128i high) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

// Pixel row r of the luma blocks (kLuma x kLuma blocks of kEdge / kLuma samples), in the low
// kEdge lanes.
template <int kEdge, int kLuma>
__m128i LumaRow(const int16_t* blocks, int r) {
  constexpr int kSize = kEdge / kLuma;
  const int16_t* row = blocks + r / kSize * kLuma * 64 + r % kSize * 8;
  if constexpr (kLuma == 1) return Load4(row);
  if constexpr (kSize == 4) return _mm_unpacklo_epi64(Load4(row), Load4(row + 64));
  return _mm_unpacklo_epi32(Load2(row), Load2(row + 64));
}

template <int kEdge>
__m128i ChromaRow(const int16_t* block, int r) {
  if constexpr (kEdge == 8) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * r));
  return Load4(block + 8 * r);
}

// The in-place equations: R, G, B before the clamp, from the samples' low bytes.
struct Colours {
  __m256i r, g, b;
};
Colours InPlaceColours(__m256i y, __m256i cb, __m256i cr) {
  const __m256i low_byte = _mm256_set1_epi16(0xFF);
  y = _mm256_and_si256(y, low_byte);
  cb = _mm256_and_si256(cb, low_byte);
  cr = _mm256_and_si256(cr, low_byte);
  const __m256i red = _mm256_add_epi16(
      _mm256_sub_epi16(cr, _mm256_set1_epi16(179)),
      _mm256_srli_epi16(
          _mm256_add_epi16(_mm256_mullo_epi16(cr, _mm256_set1_epi16(103)), _mm256_set1_epi16(11)),
          8));
  const __m256i green = _mm256_add_epi16(
      _mm256_sub_epi16(_mm256_set1_epi16(136), cr),
      _mm256_srai_epi16(
          _mm256_sub_epi16(_mm256_sub_epi16(_mm256_mullo_epi16(cr, _mm256_set1_epi16(73)),
                                            _mm256_mullo_epi16(cb, _mm256_set1_epi16(88))),
                           _mm256_set1_epi16(10)),
          8));
  const __m256i blue = _mm256_add_epi16(
      _mm256_sub_epi16(cb, _mm256_set1_epi16(227)),
      _mm256_srli_epi16(
          _mm256_add_epi16(_mm256_mullo_epi16(cb, _mm256_set1_epi16(198)), _mm256_set1_epi16(175)),
          8));
  return {_mm256_add_epi16(y, red), _mm256_add_epi16(y, green), _mm256_add_epi16(y, blue)};
}

// The three bytes of 4 pixels in the low 12 bytes of each half: `first` holds lanes 0-3 and
// 8-11, `second` lanes 4-7 and 12-15.
template <bool kBgr>
void PackPixels(const Colours& c, __m256i& first, __m256i& second) {
  const __m256i outer = kBgr ? _mm256_packus_epi16(c.b, c.r) : _mm256_packus_epi16(c.r, c.b);
  const __m256i middle = _mm256_packus_epi16(c.g, _mm256_setzero_si256());
  const __m256i low = _mm256_unpacklo_epi8(outer, middle);
  const __m256i high = _mm256_unpackhi_epi8(outer, middle);
  const __m256i squeeze = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                           0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  first = _mm256_shuffle_epi8(_mm256_unpacklo_epi16(low, high), squeeze);
  second = _mm256_shuffle_epi8(_mm256_unpackhi_epi16(low, high), squeeze);
}

void Store12(uint8_t* out, __m128i bytes) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
  const int32_t last = _mm_cvtsi128_si32(_mm_srli_si128(bytes, 8));
  std::memcpy(out + 8, &last, sizeof last);
}

__m128i Low(__m256i v) {
  return _mm256_castsi256_si128(v);
}
__m128i High(__m256i v) {
  return _mm256_extracti128_si256(v, 1);
}

// Two rows of 8 pixels from their samples, the first row's in the low half.
template <bool kBgr>
void WriteTwoRows(__m256i y, __m256i cb, __m256i cr, uint8_t* row, int32_t row_step) {
  __m256i first, second;
  PackPixels<kBgr>(InPlaceColours(y, cb, cr), first, second);
  Store12(row, Low(first));
  Store12(row + 12, Low(second));
  Store12(row + row_step, High(first));
  Store12(row + row_step + 12, High(second));
}

// kEdge x kEdge pixels, luma in kLuma x kLuma blocks, chroma in one block each after them.
template <int kEdge, int kLuma, bool kBgr>
void WriteSquareMcu(const int16_t* blocks, const int16_t* const*, uint8_t* out, int32_t row_step) {
  const int16_t *cb = blocks + 64 * kLuma * kLuma, *cr = cb + 64;
  if constexpr (kEdge == 8) {
    for (int r = 0; r < 8; r += 2)
      WriteTwoRows<kBgr>(Join(LumaRow<8, kLuma>(blocks, r), LumaRow<8, kLuma>(blocks, r + 1)),
                         Join(ChromaRow<8>(cb, r), ChromaRow<8>(cb, r + 1)),
                         Join(ChromaRow<8>(cr, r), ChromaRow<8>(cr, r + 1)),
                         out + static_cast<ptrdiff_t>(r) * row_step, row_step);
  } else {
    __m256i first, second;
    auto rows = [](auto row_of) {
      return Join(_mm_unpacklo_epi64(row_of(0), row_of(1)),
                  _mm_unpacklo_epi64(row_of(2), row_of(3)));
    };
    PackPixels<kBgr>(InPlaceColours(rows([blocks](int r) { return LumaRow<4, kLuma>(blocks, r); }),
                                    rows([cb](int r) { return ChromaRow<4>(cb, r); }),
                                    rows([cr](int r) { return ChromaRow<4>(cr, r); })),
                     first, second);
    Store12(out, Low(first));
    Store12(out + row_step, Low(second));
    Store12(out + 2 * static_cast<ptrdiff_t>(row_step), High(first));
    Store12(out + 3 * static_cast<ptrdiff_t>(row_step), High(second));
  }
}

// 4:2:2 at half size: 8 x 4 pixels, the two luma blocks side by side, each chroma sample
// doubled across.
template <bool kBgr>
void Write422HalfMcu(const int16_t* blocks, const int16_t* const*, uint8_t* out, int32_t row_step) {
  const int16_t *cb = blocks + 128, *cr = cb + 64;
  auto doubled = [](const int16_t* block, int r) {
    const __m128i samples = Load4(block + 8 * r);
    return _mm_unpacklo_epi16(samples, samples);
  };
  for (int r = 0; r < 4; r += 2)
    WriteTwoRows<kBgr>(Join(LumaRow<8, 2>(blocks, r), LumaRow<8, 2>(blocks, r + 1)),
                       Join(doubled(cb, r), doubled(cb, r + 1)),
                       Join(doubled(cr, r), doubled(cr, r + 1)),
                       out + static_cast<ptrdiff_t>(r) * row_step, row_step);
}

}  // namespace

void WriteReduced422HalfToRgbAvx2(const int16_t* b, const int16_t* const* q, uint8_t* o,
                                  int32_t s) {
  Write422HalfMcu<false>(b, q, o, s);
}
void WriteReduced422HalfToBgrAvx2(const int16_t* b, const int16_t* const* q, uint8_t* o,
                                  int32_t s) {
  Write422HalfMcu<true>(b, q, o, s);
}
void WriteReduced420HalfToRgbAvx2(const int16_t* b, const int16_t* const* q, uint8_t* o,
                                  int32_t s) {
  WriteSquareMcu<8, 2, false>(b, q, o, s);
}
void WriteReduced420HalfToBgrAvx2(const int16_t* b, const int16_t* const* q, uint8_t* o,
                                  int32_t s) {
  WriteSquareMcu<8, 2, true>(b, q, o, s);
}
void WriteReduced420QuarterToRgbAvx2(const int16_t* b, const int16_t* const* q, uint8_t* o,
                                     int32_t s) {
  WriteSquareMcu<4, 2, false>(b, q, o, s);
}
void WriteReduced420QuarterToBgrAvx2(const int16_t* b, const int16_t* const* q, uint8_t* o,
                                     int32_t s) {
  WriteSquareMcu<4, 2, true>(b, q, o, s);
}
void WriteReduced444HalfToRgbAvx2(const int16_t* b, const int16_t* const* q, uint8_t* o,
                                  int32_t s) {
  WriteSquareMcu<4, 1, false>(b, q, o, s);
}
void WriteReduced444HalfToBgrAvx2(const int16_t* b, const int16_t* const* q, uint8_t* o,
                                  int32_t s) {
  WriteSquareMcu<4, 1, true>(b, q, o, s);
}

}  // namespace jpeg
