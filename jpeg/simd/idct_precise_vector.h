// The precise 8x8 inverse DCT in eight 32-bit lanes (int32x8.h), built once per instruction
// set by idct_precise_<isa>.cpp; optionally with the block's dequantisation fused in, so the
// coefficients are read once and no separate pass runs.
//
// Row pass: the rows are the lanes. Its inputs are 16-bit, so every rotation pair is one
// 16x16->32-bit multiply-add per lane pair; the two constants above 32767 (A and -A) are
// split into a 16-bit part and a shift by 16. Column pass: the columns are the lanes; its
// inputs are 32-bit row results, so it multiplies in 32 bits. Both passes do exactly the
// plain transform's 32-bit wrapping arithmetic (idct_precise_8x8.h), in an order that differs
// only where the sums are modulo 2^32 anyway, so the samples are the plain ones bit for bit.
// Two shortcuts cover typical blocks: a block without AC coefficients is one value, and a
// block whose lower four rows are zero skips their products in the column pass.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "jpeg/simd/int32x8.h"

namespace jpeg {
namespace {

namespace precise {

constexpr int32_t kC1 = 32138, kS1 = 6393, kC3 = 27246, kS3 = 18205;
constexpr int32_t kA = 42813, kB = 17734, kR2 = 5793;  // R2 is sqrt(2) in Q12

// The products of one 8-point pass; the two passes make them differently.
struct Rotations {
  Int32x8 f, g, h, l, u, v, w, z;
};

// Outputs 0..7 of the 8-point pass before the descale.
inline void Butterflies(const Rotations& r, Int32x8* out) {
  const Int32x8 round = Splat(2048);
  const Int32x8 t = MulConst(Sar<12>(r.h + r.l + round), kR2);
  const Int32x8 s = MulConst(Sar<12>(r.f + r.g + round), kR2);
  const Int32x8 p = (r.h - r.l) + (r.f - r.g);
  const Int32x8 q = (r.h - r.l) - (r.f - r.g);
  const Int32x8 even0 = r.u + r.w, even3 = r.u - r.w, even1 = r.v + r.z, even2 = r.v - r.z;
  out[0] = even0 + t;
  out[7] = even0 - t;
  out[1] = even1 + p;
  out[6] = even1 - p;
  out[2] = even2 + q;
  out[5] = even2 - q;
  out[3] = even3 + s;
  out[4] = even3 - s;
}

// Row pass over the block's columns (x[k] lane r = input k of row r), 16-bit.
inline Rotations RowRotations(const __m128i* x) {
  constexpr int16_t kAMinus65536 = kA - 65536, k65536MinusA = 65536 - kA;
  return {MulAddPairs(x[1], x[7], kS1, -kC1),
          MulAddPairs(x[5], x[3], kC3, -kS3),
          MulAddPairs(x[1], x[7], kC1, kS1),
          MulAddPairs(x[5], x[3], kS3, kC3),
          Shl<15>(MulAddPairs(x[0], x[4], 1, 1)),
          Shl<15>(MulAddPairs(x[0], x[4], 1, -1)),
          MulAddPairs(x[2], x[6], kAMinus65536, kB) + Shl16(x[2]),
          MulAddPairs(x[2], x[6], kB, k65536MinusA) - Shl16(x[6])};
}

// Column pass over the row results (y[k] lane j = row k's output j), 32-bit; each rotation
// pair shares one product. Rows from kRows on are known to be zero and fold away.
template <int kRows>
inline Rotations ColumnRotations(const Int32x8* rows) {
  const auto y = [rows](int k) { return k < kRows ? rows[k] : Splat(0); };
  const Int32x8 shared17 = MulConst(y(1) + y(7), kS1);
  const Int32x8 shared35 = MulConst(y(3) + y(5), kC3);
  const Int32x8 shared26 = MulConst(y(2) + y(6), kB);
  return {shared17 - MulConst(y(7), kS1 + kC1),
          shared35 - MulConst(y(3), kC3 + kS3),
          shared17 + MulConst(y(1), kC1 - kS1),
          shared35 + MulConst(y(5), kS3 - kC3),
          Shl<15>(y(0) + y(4)),
          Shl<15>(y(0) - y(4)),
          shared26 + MulConst(y(2), kA - kB),
          shared26 - MulConst(y(6), kA + kB)};
}

// The samples of a block whose only non-zero coefficient is dc: the column pass's u term.
inline __m128i DcOnlySamples(int16_t dc) {
  const uint32_t u = static_cast<uint32_t>(static_cast<int32_t>(dc)) << 18;
  const int32_t sample = (static_cast<int32_t>(u + 1048576) >> 21) + 128;
  return _mm_set1_epi16(static_cast<int16_t>(sample < 0 ? 0 : sample > 255 ? 255 : sample));
}

template <bool kDequantize>
inline void InverseDct(int16_t* block, const int16_t* table) {
  __m128i x[8];
  __m128i ac = _mm_setzero_si128(), lower_half = _mm_setzero_si128();
  for (int r = 0; r < 8; ++r) {
    x[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 8 * r));
    if constexpr (kDequantize)
      x[r] =
          _mm_mullo_epi16(x[r], _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 8 * r)));
    ac = _mm_or_si128(ac, r == 0 ? _mm_slli_si128(_mm_srli_si128(x[0], 2), 2) : x[r]);
    if (r >= 4) lower_half = _mm_or_si128(lower_half, x[r]);
  }
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(ac, _mm_setzero_si128())) == 0xFFFF) {
    const __m128i samples = DcOnlySamples(static_cast<int16_t>(_mm_cvtsi128_si32(x[0])));
    for (int r = 0; r < 8; ++r)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(block + 8 * r), samples);
    return;
  }
  Transpose16(x);
  Int32x8 rows[8];
  Butterflies(RowRotations(x), rows);
  for (auto& row : rows) row = Sar<12>(row + Splat(2048));
  Transpose(rows);
  // Typical blocks have no coefficients in their lower half, whose row results are then zero.
  Int32x8 columns[8];
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(lower_half, _mm_setzero_si128())) == 0xFFFF)
    Butterflies(ColumnRotations<4>(rows), columns);
  else
    Butterflies(ColumnRotations<8>(rows), columns);
  const __m128i low = _mm_set1_epi16(0), high = _mm_set1_epi16(255);
  for (int r = 0; r < 8; ++r) {
    const __m128i samples = Narrow(Sar<21>(columns[r] + Splat(1048576)) + Splat(128));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(block + 8 * r),
                     _mm_min_epi16(_mm_max_epi16(samples, low), high));
  }
}

}  // namespace precise

}  // namespace
}  // namespace jpeg
