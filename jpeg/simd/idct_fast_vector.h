// The fast (Arai-Agui-Nakajima) 8x8 inverse DCT in eight 32-bit lanes (int32x8.h), built once
// per instruction set by idct_fast_<isa>.cpp; optionally with the scaled dequantisation fused
// in. Column pass with the columns as lanes, 16-bit storage between the passes as the plain
// transform keeps it, row pass with the rows as lanes. The arithmetic is the plain one's
// (jpeg/idct_fast.cpp), 32-bit and wrapping, so the samples are the plain ones bit for bit.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "jpeg/simd/int32x8.h"

namespace jpeg {
namespace {

namespace fast {

constexpr int32_t kK1 = 46341;  // sqrt(2) in Q15
constexpr int32_t kK2 = 25080;  // 0.765367
constexpr int32_t kK3 = 35468;  // 1.082392
constexpr int32_t kK4 = 85627;  // 2.613126

inline Int32x8 Mul(Int32x8 x, int32_t k) {
  return Sar<15>(MulConst(x, k) + Splat(16384));
}

// The value each lane keeps when stored as 16 bits and read back.
inline Int32x8 Store16(Int32x8 x) {
  return Sar<16>(Shl<16>(x));
}

// The 8-point pass: x[k] lane i is input k of lane i; outputs before any descale.
inline void EightPoint(const Int32x8* x, Int32x8* out) {
  const Int32x8 e = Mul(x[5] + x[7] - x[3] - x[1], kK2);
  const Int32x8 f = Mul(x[1] + x[7] - x[5] - x[3], kK1);
  const Int32x8 g = x[5] + x[3] + x[1] + x[7];
  const Int32x8 h = e - Mul(x[5] - x[3], kK4);
  const Int32x8 l = Mul(x[1] - x[7], kK3) - e - g;
  const Int32x8 u = x[2] + x[6];
  const Int32x8 v = Mul(x[2] - x[6], kK1) - u;
  const Int32x8 d = x[0] - x[4];
  const Int32x8 a = x[0] + x[4];
  const Int32x8 odd = h + f - l;
  out[0] = a + u + g;
  out[1] = d + v + l;
  out[2] = d - v + f - l;
  out[3] = a - u - odd;
  out[4] = a - u + odd;
  out[5] = d - v - (f - l);
  out[6] = d + v - l;
  out[7] = a + u - g;
}

template <bool kDequantize>
inline void InverseDct(int16_t* block, const int16_t* table) {
  Int32x8 x[8], sums[8];
  for (int k = 0; k < 8; ++k) {
    const __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * k));
    if constexpr (kDequantize) {
      // (coefficient * factor + 64) >> 7, kept as 16 bits (DequantizeScaled).
      const __m128i factors = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 8 * k));
      x[k] = Store16(Sar<7>(MulWide(row, factors) + Splat(64)));
    } else {
      x[k] = Widen(row);
    }
  }
  EightPoint(x, sums);
  __m128i cells[8];
  for (int k = 0; k < 8; ++k) cells[k] = Truncate(sums[k]);
  Transpose16(cells);
  for (int k = 0; k < 8; ++k) x[k] = Widen(cells[k]);
  EightPoint(x, sums);
  const __m128i low = _mm_setzero_si128(), high = _mm_set1_epi16(255);
  for (int k = 0; k < 8; ++k) {
    const __m128i samples = Narrow(Sar<4>(sums[k] + Splat(8)) + Splat(128));
    cells[k] = _mm_min_epi16(_mm_max_epi16(samples, low), high);
  }
  Transpose16(cells);
  for (int r = 0; r < 8; ++r) _mm_storeu_si128(reinterpret_cast<__m128i*>(block + 8 * r), cells[r]);
}

}  // namespace fast

}  // namespace
}  // namespace jpeg
