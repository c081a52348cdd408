// The precise 4x4 and 2x2 inverse DCTs of reduced reads in vector lanes, built once per
// instruction set by idct_reduced_<isa>.cpp; optionally with the block's dequantisation fused
// in, which then multiplies only the coefficients the reduced size reads.
//
// First pass: the block's eight columns are the lanes (int32x8.h); its inputs are 16-bit, so
// each pair of rotation products is one 16x16->32-bit multiply-add. Second pass: the four (or
// two) work rows are the lanes of one 128-bit register; its inputs are 32-bit first-pass
// results, so it multiplies in 32 bits. The sums wrap modulo 2^32 and each row takes the plain
// transform's shortcut for a row without AC terms lane by lane, so the samples are the plain
// ones bit for bit, corrupt blocks included. When every 4x4 work row fits 16 bits (all but
// corrupt blocks) the second pass multiplies 16-bit pairs instead, with the same sums.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "jpeg/simd/int32x8.h"

namespace jpeg {
namespace {

namespace reduced {

// Four 32-bit lanes: the low 32 bits of each lane times c.
inline __m128i MulConst4(__m128i a, int32_t c) {
#ifdef __AVX2__
  return _mm_mullo_epi32(a, _mm_set1_epi32(c));
#else
  const __m128i k = _mm_set1_epi32(c);
  const __m128i even = _mm_mul_epu32(a, k), odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), k);
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
#endif
}

inline __m128i Lanes(Int32x8 a, int half) {
#ifdef __AVX2__
  return half == 0 ? _mm256_castsi256_si128(a.v) : _mm256_extracti128_si256(a.v, 1);
#else
  return half == 0 ? a.lo : a.hi;
#endif
}

// Where the mask lane is all ones, a; elsewhere b.
inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// Lanes whose inputs are all zero.
inline __m128i AllZero(__m128i any) {
  return _mm_cmpeq_epi32(any, _mm_setzero_si128());
}

// The sample of a work row without AC terms: clamp(((w0 + 16) >> 5) + 128), before the clamp.
inline __m128i FlatRow(__m128i w0) {
  return _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(w0, _mm_set1_epi32(16)), 5),
                       _mm_set1_epi32(128));
}

// Row r of the coefficients (its used cells dequantised when a table is given).
template <bool kDequantize>
inline __m128i LoadRow(const int16_t* block, const int16_t* table, int r) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * r));
  if constexpr (kDequantize)
    return _mm_mullo_epi16(x, _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 8 * r)));
  return x;
}

// Lane r of each sample vector is the sample of work row r; writes the first `size` cells of
// rows 0..size-1 of the block, clamped to 0..255.
inline void StoreSamples(__m128i* samples, int size, int16_t* block) {
  const __m128i low = _mm_setzero_si128(), high = _mm_set1_epi16(255);
  for (int r = 0; r < size; ++r) {
    const __m128i row =
        _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(samples[r], samples[r]), low), high);
    if (size == 4)
      _mm_storel_epi64(reinterpret_cast<__m128i*>(block + 8 * r), row);
    else
      *reinterpret_cast<int32_t*>(block + 8 * r) = _mm_cvtsi128_si32(row);
  }
}

// Whether every lane fits 16 bits, as packed: then the second pass can multiply 16-bit pairs.
inline bool FitsInt16(Int32x8 a, __m128i packed) {
  const Int32x8 back = Widen(packed);
#ifdef __AVX2__
  return _mm256_movemask_epi8(_mm256_cmpeq_epi32(back.v, a.v)) == -1;
#else
  return _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi32(back.lo, a.lo),
                                         _mm_cmpeq_epi32(back.hi, a.hi))) == 0xFFFF;
#endif
}

// The second 4x4 pass over work rows that fit 16 bits: each output is the row's dot product
// with that output's coefficients, one multiply-add and a sum across lanes. The shift by 14 is
// the product by 16384 and the sums are those of the 32-bit pass modulo 2^32; a row without
// AC terms gives ((w0 + 16) >> 5) + 128 this way as well.
// With AVX2 two rows take one multiply-add per output, summed across lanes by two rounds of
// horizontal adds (the same sums modulo 2^32).
inline void SecondPass4x4Narrow(const __m128i* rows, int16_t* block) {
  const __m128i coefficients[4] = {
      _mm_setr_epi16(16384, 20995, 15137, 7373, 0, -4926, -6270, -4176),
      _mm_setr_epi16(16384, 8697, -15137, -17799, 0, 11893, 6270, -1730),
      _mm_setr_epi16(16384, -8697, -15137, 17799, 0, -11893, 6270, 1730),
      _mm_setr_epi16(16384, -20995, 15137, -7373, 0, 4926, -6270, 4176)};
  __m128i samples[4];
#ifdef __AVX2__
  const __m256i descale = _mm256_set1_epi32(262144), level = _mm256_set1_epi32(128);
  for (int r = 0; r < 4; r += 2) {
    const __m256i pair = _mm256_inserti128_si256(_mm256_castsi128_si256(rows[r]), rows[r + 1], 1);
    __m256i sums[4];
    for (int k = 0; k < 4; ++k)
      sums[k] = _mm256_madd_epi16(pair, _mm256_broadcastsi128_si256(coefficients[k]));
    const __m256i sum =
        _mm256_hadd_epi32(_mm256_hadd_epi32(sums[0], sums[1]), _mm256_hadd_epi32(sums[2], sums[3]));
    const __m256i out =
        _mm256_add_epi32(_mm256_srai_epi32(_mm256_add_epi32(sum, descale), 19), level);
    samples[r] = _mm256_castsi256_si128(out);
    samples[r + 1] = _mm256_extracti128_si256(out, 1);
  }
#else
  const __m128i descale = _mm_set1_epi32(262144), level = _mm_set1_epi32(128);
  for (int r = 0; r < 4; ++r) {
    __m128i sums[4];
    for (int k = 0; k < 4; ++k) sums[k] = _mm_madd_epi16(rows[r], coefficients[k]);
    Transpose4(sums[0], sums[1], sums[2], sums[3]);
    const __m128i sum =
        _mm_add_epi32(_mm_add_epi32(sums[0], sums[1]), _mm_add_epi32(sums[2], sums[3]));
    samples[r] = _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(sum, descale), 19), level);
  }
#endif
  StoreSamples(samples, 4, block);
}

// Loads the rows the size reads (all but row 4 for 4x4; 0, 1, 3, 5 and 7 for 2x2). A block
// without the AC terms they hold is one sample, ((4 * dc + 16) >> 5) + 128 through both
// passes of either size: then its rows are written here and the load returns false.
template <bool kDequantize, int kSize>
inline bool LoadRowsUnlessFlat(int16_t* block, const int16_t* table, __m128i* x) {
  __m128i ac = _mm_setzero_si128();
  for (int r = 0; r < 8; ++r) {
    if (r == 4 || (kSize == 2 && r % 2 == 0 && r != 0)) continue;
    x[r] = LoadRow<kDequantize>(block, table, r);
    ac = _mm_or_si128(ac, r == 0 ? _mm_slli_si128(_mm_srli_si128(x[0], 2), 2) : x[r]);
  }
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(ac, _mm_setzero_si128())) != 0xFFFF) return true;
  const int32_t dc = static_cast<int16_t>(_mm_cvtsi128_si32(x[0]));
  __m128i samples[4];
  for (auto& sample : samples)
    sample = _mm_set1_epi32(((4 * dc + 16) >> 5) + 128);  // 4 * dc fits 32 bits
  StoreSamples(samples, kSize, block);
  return false;
}

template <bool kDequantize>
inline void InverseDct4x4(int16_t* block, const int16_t* table) {
  __m128i x[8];
  if (!LoadRowsUnlessFlat<kDequantize, 4>(block, table, x)) return;
  const Int32x8 t0 = Shl<14>(Widen(x[0]));
  const Int32x8 t2 = MulAddPairs(x[2], x[6], 15137, -6270);
  const Int32x8 odd0 =
      MulAddPairs(x[1], x[3], 8697, -17799) + MulAddPairs(x[5], x[7], 11893, -1730);
  const Int32x8 odd2 = MulAddPairs(x[1], x[3], 20995, 7373) + MulAddPairs(x[5], x[7], -4926, -4176);
  const Int32x8 round = Splat(2048);
  const Int32x8 work[4] = {Sar<12>(t0 + t2 + odd2 + round), Sar<12>(t0 - t2 + odd0 + round),
                           Sar<12>(t0 - t2 - odd0 + round), Sar<12>(t0 + t2 - odd2 + round)};
  // Work rows fit 16 bits but for corrupt blocks.
  __m128i narrow_rows[4];
  bool narrow = true;
  for (int r = 0; r < 4; ++r) {
    narrow_rows[r] = Narrow(work[r]);
    narrow = narrow && FitsInt16(work[r], narrow_rows[r]);
  }
  if (narrow) return SecondPass4x4Narrow(narrow_rows, block);
  // w[k] lane r = work row r's value in column k.
  __m128i w[8];
  for (int half = 0; half < 2; ++half) {
    for (int r = 0; r < 4; ++r) w[4 * half + r] = Lanes(work[r], half);
    Transpose4(w[4 * half], w[4 * half + 1], w[4 * half + 2], w[4 * half + 3]);
  }
  const __m128i s0 = _mm_slli_epi32(w[0], 14);
  const __m128i s2 = _mm_sub_epi32(MulConst4(w[2], 15137), MulConst4(w[6], 6270));
  const __m128i o0 =
      _mm_sub_epi32(_mm_add_epi32(_mm_sub_epi32(MulConst4(w[1], 8697), MulConst4(w[3], 17799)),
                                  MulConst4(w[5], 11893)),
                    MulConst4(w[7], 1730));
  const __m128i o2 =
      _mm_sub_epi32(_mm_sub_epi32(_mm_add_epi32(MulConst4(w[1], 20995), MulConst4(w[3], 7373)),
                                  MulConst4(w[5], 4926)),
                    MulConst4(w[7], 4176));
  const __m128i even_sum = _mm_add_epi32(s0, s2), even_difference = _mm_sub_epi32(s0, s2);
  __m128i samples[4] = {_mm_add_epi32(even_sum, o2), _mm_add_epi32(even_difference, o0),
                        _mm_sub_epi32(even_difference, o0), _mm_sub_epi32(even_sum, o2)};
  const __m128i flat = AllZero(_mm_or_si128(_mm_or_si128(_mm_or_si128(w[1], w[2]), w[3]),
                                            _mm_or_si128(_mm_or_si128(w[5], w[6]), w[7])));
  const __m128i flat_sample = FlatRow(w[0]);
  const __m128i descale = _mm_set1_epi32(262144), level = _mm_set1_epi32(128);
  for (auto& s : samples)
    s = Select(flat, flat_sample,
               _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(s, descale), 19), level));
  Transpose4(samples[0], samples[1], samples[2], samples[3]);
  StoreSamples(samples, 4, block);
}

// The second 2x2 pass over work rows that fit 16 bits: the odd term is each row's dot product
// with the odd coefficients, the even one w0 << 15 from the 32-bit rows; a row without AC
// terms gives ((w0 + 16) >> 5) + 128 this way as well.
inline void SecondPass2x2Narrow(Int32x8 work0, Int32x8 work1, __m128i row0, __m128i row1,
                                int16_t* block) {
  const __m128i odd = _mm_setr_epi16(0, 29692, 0, -10426, 0, 6967, 0, -5906);
  const __m128i a = _mm_madd_epi16(row0, odd), b = _mm_madd_epi16(row1, odd);
  const __m128i pairs = _mm_add_epi32(_mm_unpacklo_epi32(a, b), _mm_unpackhi_epi32(a, b));
  const __m128i t1 = _mm_add_epi32(pairs, _mm_srli_si128(pairs, 8));  // lanes 0, 1: rows 0, 1
  const __m128i t0 = _mm_slli_epi32(_mm_unpacklo_epi32(Lanes(work0, 0), Lanes(work1, 0)), 15);
  const __m128i descale = _mm_set1_epi32(524288), level = _mm_set1_epi32(128);
  const __m128i first =
      _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(_mm_add_epi32(t0, t1), descale), 20), level);
  const __m128i second =
      _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(_mm_sub_epi32(t0, t1), descale), 20), level);
  const __m128i both = _mm_unpacklo_epi32(first, second);  // row 0's two, then row 1's
  __m128i samples[2] = {both, _mm_srli_si128(both, 8)};
  StoreSamples(samples, 2, block);
}

template <bool kDequantize>
inline void InverseDct2x2(int16_t* block, const int16_t* table) {
  __m128i x[8];
  if (!LoadRowsUnlessFlat<kDequantize, 2>(block, table, x)) return;
  const Int32x8 t0 = Shl<15>(Widen(x[0]));
  const Int32x8 t1 = MulAddPairs(x[1], x[3], 29692, -10426) + MulAddPairs(x[5], x[7], 6967, -5906);
  const Int32x8 round = Splat(4096);
  const Int32x8 work0 = Sar<13>(t0 + t1 + round), work1 = Sar<13>(t0 - t1 + round);
  const __m128i row0 = Narrow(work0), row1 = Narrow(work1);
  if (FitsInt16(work0, row0) && FitsInt16(work1, row1))
    return SecondPass2x2Narrow(work0, work1, row0, row1, block);
  // w[k] lanes 0 and 1 = work rows 0 and 1 in column k (lanes 2 and 3 unused).
  __m128i w[8];
  for (int half = 0; half < 2; ++half) {
    __m128i a = Lanes(work0, half), b = Lanes(work1, half), c = a, d = b;
    Transpose4(a, b, c, d);
    w[4 * half] = a, w[4 * half + 1] = b, w[4 * half + 2] = c, w[4 * half + 3] = d;
  }
  const __m128i s0 = _mm_slli_epi32(w[0], 15);
  const __m128i s1 = _mm_add_epi32(_mm_sub_epi32(MulConst4(w[1], 29692), MulConst4(w[3], 10426)),
                                   _mm_sub_epi32(MulConst4(w[5], 6967), MulConst4(w[7], 5906)));
  __m128i samples[4] = {_mm_add_epi32(s0, s1), _mm_sub_epi32(s0, s1)};
  const __m128i flat = AllZero(_mm_or_si128(_mm_or_si128(w[1], w[3]), _mm_or_si128(w[5], w[7])));
  const __m128i flat_sample = FlatRow(w[0]);
  const __m128i descale = _mm_set1_epi32(524288), level = _mm_set1_epi32(128);
  for (int k = 0; k < 2; ++k)
    samples[k] =
        Select(flat, flat_sample,
               _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(samples[k], descale), 20), level));
  samples[2] = samples[3] = _mm_setzero_si128();
  Transpose4(samples[0], samples[1], samples[2], samples[3]);
  StoreSamples(samples, 2, block);
}

}  // namespace reduced

}  // namespace
}  // namespace jpeg
