// Eight 32-bit lanes for the vector inverse DCTs: one AVX2 register, or two SSE2 registers
// where the file is built for SSE2 alone. The kernels are written once against this type
// and compiled per instruction set; the arithmetic wraps modulo 2^32 lane by lane, as the
// plain transforms define it, so both builds give the plain results bit for bit.
//
// Everything here has internal linkage on purpose: each instruction-set build keeps its own
// copy and never shares an out-of-line one with a build for another instruction set.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#ifdef __AVX2__
#include <immintrin.h>
#endif

namespace jpeg {
namespace {

// The 32-bit word that multiplies pairs (a, b) of 16-bit values by (ca, cb).
inline int32_t PairConstant(int16_t ca, int16_t cb) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(cb)) << 16 |
                              static_cast<uint16_t>(ca));
}

// Transposes four rows of four lanes in place.
inline void Transpose4(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
  const __m128i ab_lo = _mm_unpacklo_epi32(a, b), ab_hi = _mm_unpackhi_epi32(a, b);
  const __m128i cd_lo = _mm_unpacklo_epi32(c, d), cd_hi = _mm_unpackhi_epi32(c, d);
  a = _mm_unpacklo_epi64(ab_lo, cd_lo);
  b = _mm_unpackhi_epi64(ab_lo, cd_lo);
  c = _mm_unpacklo_epi64(ab_hi, cd_hi);
  d = _mm_unpackhi_epi64(ab_hi, cd_hi);
}

#ifdef __AVX2__

struct Int32x8 {
  __m256i v;
};

inline Int32x8 Splat(int32_t c) {
  return {_mm256_set1_epi32(c)};
}
inline Int32x8 operator+(Int32x8 a, Int32x8 b) {
  return {_mm256_add_epi32(a.v, b.v)};
}
inline Int32x8 operator-(Int32x8 a, Int32x8 b) {
  return {_mm256_sub_epi32(a.v, b.v)};
}
template <int n>
inline Int32x8 Sar(Int32x8 a) {
  return {_mm256_srai_epi32(a.v, n)};
}
template <int n>
inline Int32x8 Shl(Int32x8 a) {
  return {_mm256_slli_epi32(a.v, n)};
}
// Low 32 bits of each lane times c.
inline Int32x8 MulConst(Int32x8 a, int32_t c) {
  return {_mm256_mullo_epi32(a.v, _mm256_set1_epi32(c))};
}
// Lane r = a[r] * ca + b[r] * cb exactly, for eight 16-bit a and b (pairs of 16-bit products).
inline Int32x8 MulAddPairs(__m128i a, __m128i b, int16_t ca, int16_t cb) {
  const __m256i pairs = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_unpacklo_epi16(a, b)),
                                                _mm_unpackhi_epi16(a, b), 1);
  return {_mm256_madd_epi16(pairs, _mm256_set1_epi32(PairConstant(ca, cb)))};
}
// Lanes 0-3 from one register, 4-7 from the other.
inline Int32x8 FromHalves(__m128i low, __m128i high) {
  return {_mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1)};
}
// The eight lanes as 16-bit values (each lane fits 16 bits).
inline __m128i Narrow(Int32x8 a) {
  return _mm_packs_epi32(_mm256_castsi256_si128(a.v), _mm256_extracti128_si256(a.v, 1));
}
// Lane r = a[r] for eight 16-bit a.
inline Int32x8 Widen(__m128i a) {
  return {_mm256_cvtepi16_epi32(a)};
}

// rows[i] lane j becomes rows[j] lane i.
inline void Transpose(Int32x8* rows) {
  __m256i t[8], u[8];
  for (int i = 0; i < 8; i += 2) {
    t[i] = _mm256_unpacklo_epi32(rows[i].v, rows[i + 1].v);
    t[i + 1] = _mm256_unpackhi_epi32(rows[i].v, rows[i + 1].v);
  }
  for (int i = 0; i < 8; i += 4) {
    u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
    u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
    u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
    u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
  }
  for (int i = 0; i < 4; ++i) {
    rows[i].v = _mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
    rows[i + 4].v = _mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
  }
}

#else

struct Int32x8 {
  __m128i lo, hi;  // lanes 0-3, 4-7
};

inline Int32x8 Splat(int32_t c) {
  const __m128i v = _mm_set1_epi32(c);
  return {v, v};
}
inline Int32x8 operator+(Int32x8 a, Int32x8 b) {
  return {_mm_add_epi32(a.lo, b.lo), _mm_add_epi32(a.hi, b.hi)};
}
inline Int32x8 operator-(Int32x8 a, Int32x8 b) {
  return {_mm_sub_epi32(a.lo, b.lo), _mm_sub_epi32(a.hi, b.hi)};
}
template <int n>
inline Int32x8 Sar(Int32x8 a) {
  return {_mm_srai_epi32(a.lo, n), _mm_srai_epi32(a.hi, n)};
}
template <int n>
inline Int32x8 Shl(Int32x8 a) {
  return {_mm_slli_epi32(a.lo, n), _mm_slli_epi32(a.hi, n)};
}
// SSE2 has no 32-bit low multiply: the unsigned 32x32->64-bit products of the even and of
// the odd lanes carry the same low halves.
inline __m128i MulLow(__m128i a, __m128i c) {
  const __m128i even = _mm_mul_epu32(a, c);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), c);
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}
inline Int32x8 MulConst(Int32x8 a, int32_t c) {
  const __m128i k = _mm_set1_epi32(c);
  return {MulLow(a.lo, k), MulLow(a.hi, k)};
}
inline Int32x8 MulAddPairs(__m128i a, __m128i b, int16_t ca, int16_t cb) {
  const __m128i k = _mm_set1_epi32(PairConstant(ca, cb));
  return {_mm_madd_epi16(_mm_unpacklo_epi16(a, b), k), _mm_madd_epi16(_mm_unpackhi_epi16(a, b), k)};
}
inline Int32x8 FromHalves(__m128i low, __m128i high) {
  return {low, high};
}
inline __m128i Narrow(Int32x8 a) {
  return _mm_packs_epi32(a.lo, a.hi);
}
inline Int32x8 Widen(__m128i a) {
  return {_mm_srai_epi32(_mm_unpacklo_epi16(a, a), 16),
          _mm_srai_epi32(_mm_unpackhi_epi16(a, a), 16)};
}

inline void Transpose(Int32x8* rows) {
  Transpose4(rows[0].lo, rows[1].lo, rows[2].lo, rows[3].lo);
  Transpose4(rows[4].hi, rows[5].hi, rows[6].hi, rows[7].hi);
  Transpose4(rows[0].hi, rows[1].hi, rows[2].hi, rows[3].hi);
  Transpose4(rows[4].lo, rows[5].lo, rows[6].lo, rows[7].lo);
  for (int i = 0; i < 4; ++i) {  // the off-diagonal quarters swap places
    const __m128i upper_right = rows[i].hi;
    rows[i].hi = rows[i + 4].lo;
    rows[i + 4].lo = upper_right;
  }
}

#endif

// The low 16 bits of each lane, as the lanes' 16-bit storage keeps them.
inline __m128i Truncate(Int32x8 a) {
  return Narrow(Sar<16>(Shl<16>(a)));
}

// Lane r = a[r] * b[r] exactly, for eight 16-bit a and b.
inline Int32x8 MulWide(__m128i a, __m128i b) {
  const __m128i low = _mm_mullo_epi16(a, b), high = _mm_mulhi_epi16(a, b);
  return FromHalves(_mm_unpacklo_epi16(low, high), _mm_unpackhi_epi16(low, high));
}

// Lane r = a[r] << 16 for eight 16-bit a.
inline Int32x8 Shl16(__m128i a) {
  const __m128i zero = _mm_setzero_si128();
  return FromHalves(_mm_unpacklo_epi16(zero, a), _mm_unpackhi_epi16(zero, a));
}

// Transposes an 8x8 block of 16-bit values held as eight rows.
inline void Transpose16(__m128i* rows) {
  __m128i a[8], b[8];
  for (int i = 0; i < 8; i += 2) {
    a[i] = _mm_unpacklo_epi16(rows[i], rows[i + 1]);
    a[i + 1] = _mm_unpackhi_epi16(rows[i], rows[i + 1]);
  }
  for (int i = 0; i < 8; i += 4) {
    b[i] = _mm_unpacklo_epi32(a[i], a[i + 2]);
    b[i + 1] = _mm_unpackhi_epi32(a[i], a[i + 2]);
    b[i + 2] = _mm_unpacklo_epi32(a[i + 1], a[i + 3]);
    b[i + 3] = _mm_unpackhi_epi32(a[i + 1], a[i + 3]);
  }
  for (int i = 0; i < 4; ++i) {
    rows[2 * i] = _mm_unpacklo_epi64(b[i], b[i + 4]);
    rows[2 * i + 1] = _mm_unpackhi_epi64(b[i], b[i + 4]);
  }
}

}  // namespace
}  // namespace jpeg
