// The precise 8x8 inverse DCT as vector lanes, in the two forms that suit 128-bit and 256-bit
// vectors; jpeg/idct_precise.cpp builds the first for every processor, jpeg/simd/ builds the
// second with AVX2. Both give the same results bit for bit.
//
// Row pass: for each row, the 8-point pass with Q15 rotation constants and a Q12 descale into
// a 32-bit work array; column pass: the same 8-point pass per column, a descale by 2^21 and
// the level shift of 128 (T.81 A.3.1). The arithmetic is 32-bit and wraps (idct_arith.h).
// Each pass is one straight loop over independent lanes (rows or columns), which the
// compiler runs in vector registers. Real images leave most rows of a block without AC
// coefficients and the last rows all zero; the column pass skips the products of the
// trailing zero rows.
//
// Everything here has internal linkage on purpose: the two builds compile it with different
// instruction sets and must never share an out-of-line copy.
#pragma once

#include <algorithm>
#include <cstdint>

#include "jpeg/idct_arith.h"

namespace jpeg {
namespace {

using namespace idct_arith;

constexpr int32_t kC1 = 32138, kS1 = 6393, kC3 = 27246, kS3 = 18205;
constexpr int32_t kA = 42813, kB = 17734, kR2 = 5793;  // R2 is sqrt(2) in Q12

// x * c for a constant below 2^16: 16-bit inputs give exact products (widening multiplies
// when vectorised), 32-bit inputs the wrapping 32-bit product.
inline Wide Mul(int16_t x, int32_t c) { return static_cast<Wide>(x * c); }
inline Wide Mul(int32_t x, int32_t c) { return static_cast<Wide>(x) * static_cast<Wide>(c); }

// x * kA with kA split as 2^15 + (kA - 2^15), so that 16-bit inputs keep 16-bit factors.
template <typename In>
inline Wide MulA(In x) {
  return (static_cast<Wide>(x) << 15) + Mul(x, kA - 32768);
}

// The 8-point pass over `kLanes` independent lanes. load(lane, k) gives input k of a lane
// (16- or 32-bit); inputs from k = kInputs on are known to be zero and fold away.
// store(lane, k, sum) takes output k before the descale.
template <int kLanes, int kInputs, typename Load, typename Store>
inline void PreciseEightPoint(Load load, Store store) {
  using In = decltype(load(0, 0));
  const auto in = [&load](int lane, int k) { return k < kInputs ? load(lane, k) : In{0}; };
  for (int lane = 0; lane < kLanes; ++lane) {
    const In x0 = in(lane, 0), x1 = in(lane, 1), x2 = in(lane, 2), x3 = in(lane, 3);
    const In x4 = in(lane, 4), x5 = in(lane, 5), x6 = in(lane, 6), x7 = in(lane, 7);
    const Wide f = Mul(x1, kS1) - Mul(x7, kC1);
    const Wide g = Mul(x5, kC3) - Mul(x3, kS3);
    const Wide h = Mul(x7, kS1) + Mul(x1, kC1);
    const Wide l = Mul(x5, kS3) + Mul(x3, kC3);
    const Wide t = Mul(Sar(h + l + 2048, 12), kR2);
    const Wide s = Mul(Sar(f + g + 2048, 12), kR2);
    const Wide p = h + f - l - g;
    const Wide q = h + g - l - f;
    const Wide u = (static_cast<Wide>(x0) + static_cast<Wide>(x4)) << 15;
    const Wide v = (static_cast<Wide>(x0) - static_cast<Wide>(x4)) << 15;
    const Wide w = MulA(x2) + Mul(x6, kB);
    const Wide z = Mul(x2, kB) - MulA(x6);
    store(lane, 0, u + w + t);
    store(lane, 7, u + w - t);
    store(lane, 1, v + z + p);
    store(lane, 6, v + z - p);
    store(lane, 2, v - z + q);
    store(lane, 5, v - z - q);
    store(lane, 3, u - w + s);
    store(lane, 4, u - w - s);
  }
}

// The column pass, the columns as lanes, over row results in natural order whose rows from
// kRows on are zero; samples go to `out` as Sample (the block itself, or 32-bit cells that
// keep the whole loop at one lane width).
template <int kRows, typename Sample>
inline void PreciseColumns(const int32_t* work, Sample* out) {
  PreciseEightPoint<8, kRows>([work](int j, int k) { return work[8 * k + j]; },
                              [out](int j, int k, Wide sum) {
                                const int32_t sample = Sar(sum + 1048576, 21) + 128;
                                out[8 * k + j] = static_cast<Sample>(std::clamp(sample, 0, 255));
                              });
}

// The column pass over the first `rows` rows of row results (the others being zero).
template <typename Sample>
inline void PreciseColumnsOver(int rows, const int32_t* work, Sample* out) {
  if (rows <= 1) return PreciseColumns<1>(work, out);
  if (rows <= 2) return PreciseColumns<2>(work, out);
  if (rows <= 4) return PreciseColumns<4>(work, out);
  PreciseColumns<8>(work, out);
}

// For 128-bit vectors: the row pass goes row by row and gives a row without AC
// coefficients its one value, x0 * 8 (what the full pass gives), so that typical blocks
// pay for few rows; only the column pass is vectorised.
inline void PreciseInverseDctRowByRow(int16_t* block) {
  alignas(32) int32_t work[64];
  int rows = 0;  // the rows from here on are zero in the work array
  for (int r = 0; r < 8; ++r) {
    const int16_t* row = block + 8 * r;
    int32_t* out = work + 8 * r;
    if ((row[1] | row[2] | row[3] | row[4] | row[5] | row[6] | row[7]) == 0) {
      const int32_t dc = static_cast<int32_t>(Widen(row[0]) << 3);
      for (int k = 0; k < 8; ++k) out[k] = dc;
      if (dc != 0) rows = r + 1;
      continue;
    }
    PreciseEightPoint<1, 8>([row](int, int k) { return row[k]; },
                            [out](int, int k, Wide sum) { out[k] = Sar(sum + 2048, 12); });
    rows = r + 1;
  }
  PreciseColumnsOver(rows, work, block);
}

// Bitwise or of block[begin..end), zero exactly when all those coefficients are.
inline Wide OrOf(const int16_t* block, int begin, int end) {
  Wide bits = 0;
  for (int i = begin; i < end; ++i) bits |= static_cast<uint16_t>(block[i]);
  return bits;
}

// For 256-bit vectors: both passes run eight 32-bit lanes (rows, then columns) in one
// register per value, so the coefficients are widened first and the samples narrowed last.
// A DC-only block is one value.
inline void PreciseInverseDctLanes(int16_t* block) {
  const int rows = OrOf(block, 16, 64) != 0   ? (OrOf(block, 32, 64) != 0 ? 8 : 4)
                   : OrOf(block, 8, 16) != 0 ? 2
                                              : 1;
  if (rows == 1 && OrOf(block, 1, 8) == 0) {
    // x0 * 8 after the rows, then the column pass's u term alone.
    const int16_t sample = ClampSample(Sar((Widen(block[0]) << 18) + 1048576, 21) + 128);
    for (int i = 0; i < 64; ++i) block[i] = sample;
    return;
  }
  alignas(32) int32_t cells[64];
  for (int i = 0; i < 64; ++i) cells[i] = block[i];
  alignas(32) int32_t work[64];
  PreciseEightPoint<8, 8>([&cells](int r, int k) { return cells[8 * r + k]; },
                          [&work](int r, int k, Wide sum) { work[8 * r + k] = Sar(sum + 2048, 12); });
  PreciseColumnsOver(rows, work, cells);
  for (int i = 0; i < 64; ++i) block[i] = static_cast<int16_t>(cells[i]);
}

}  // namespace
}  // namespace jpeg
