// Precise inverse DCTs: two passes with 32-bit intermediates.
//
// The 8x8 transform runs its row pass into a 32-bit work array with Q15 rotation constants
// and a Q12 descale, then its column pass with a final descale by 2^21 and the level shift
// of 128 (T.81 A.3.1). The reduced transforms compute 4x4, 2x2 or 1x1 outputs straight from
// the 8x8 coefficients with 13-bit constants, skipping the coefficients whose basis
// functions average out at that size.
#include "jpeg/idct.h"

#include "jpeg/idct_arith.h"

namespace jpeg {
namespace {

using namespace idct_arith;

constexpr int32_t kC1 = 32138, kS1 = 6393, kC3 = 27246, kS3 = 18205;
constexpr int32_t kA = 42813, kB = 17734, kR2 = 5793;  // R2 is sqrt(2) in Q12

// x * c for an input and a constant below 2^15 in magnitude: 16-bit inputs give exact
// 16x16-bit products, which vectorise as widening multiplies; 32-bit inputs give the
// wrapping 32-bit product.
inline Wide Mul(int16_t x, int32_t c) { return static_cast<Wide>(x * c); }
inline Wide Mul(int32_t x, int32_t c) { return static_cast<Wide>(x) * static_cast<Wide>(c); }

// x * kA with kA split as 2^15 + (kA - 2^15), so that both products keep 16-bit factors.
template <typename In>
inline Wide MulA(In x) { return (static_cast<Wide>(x) << 15) + Mul(x, kA - 32768); }

// The 8-point pass over `kLanes` independent lanes, written as one straight loop so that
// the compiler runs the lanes in vector registers. load(lane, k) gives input k of a lane
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

// The column pass of the 8x8 transform, the columns as lanes, over the row pass's results
// in natural order, of which the rows from kRows on are zero.
template <int kRows>
inline void PreciseColumns(const int32_t* work, int16_t* block) {
  PreciseEightPoint<8, kRows>([work](int j, int k) { return work[8 * k + j]; },
                              [block](int j, int k, Wide sum) {
                                block[8 * k + j] = ClampSample(Sar(sum + 1048576, 21) + 128);
                              });
}

// Reduced 4-point pass over inputs x[0..7] (x[4] unused): outputs before the descale.
inline void PreciseFourPoint(const Wide* x, Wide* sum) {
  const Wide t0 = x[0] << 14;
  const Wide t2 = x[2] * 15137 - x[6] * 6270;
  const Wide odd0 = x[1] * 8697 - x[3] * 17799 + x[5] * 11893 - x[7] * 1730;
  const Wide odd2 = x[1] * 20995 + x[3] * 7373 - x[5] * 4926 - x[7] * 4176;
  sum[0] = t0 + t2 + odd2;
  sum[3] = t0 + t2 - odd2;
  sum[1] = t0 - t2 + odd0;
  sum[2] = t0 - t2 - odd0;
}

// Reduced 2-point pass over inputs x[0], x[1], x[3], x[5], x[7].
inline void PreciseTwoPoint(const Wide* x, Wide* sum) {
  const Wide t0 = x[0] << 15;
  const Wide t1 = x[1] * 29692 - x[3] * 10426 + x[5] * 6967 - x[7] * 5906;
  sum[0] = t0 + t1;
  sum[1] = t0 - t1;
}

}  // namespace

// Real images leave most rows of a block without AC coefficients, and the last rows empty:
// the row pass runs row by row and gives such rows their one value, and the column pass
// runs the eight columns as vector lanes over the leading rows that are not all zero
// (for a DC-only block, the first row alone).
void InverseDct8x8Precise(int16_t* block) {
  alignas(32) int32_t work[64];
  int rows = 0;  // the rows from here on are zero in the work array
  for (int r = 0; r < 8; ++r) {
    const int16_t* row = block + 8 * r;
    int32_t* out = work + 8 * r;
    if ((row[1] | row[2] | row[3] | row[4] | row[5] | row[6] | row[7]) == 0) {
      // The full pass gives exactly x0 * 8 in every output here.
      const int32_t dc = static_cast<int32_t>(Widen(row[0]) << 3);
      for (int k = 0; k < 8; ++k) out[k] = dc;
      if (dc != 0) rows = r + 1;
      continue;
    }
    PreciseEightPoint<1, 8>([row](int, int k) { return row[k]; },
                            [out](int, int k, Wide sum) { out[k] = Sar(sum + 2048, 12); });
    rows = r + 1;
  }
  if (rows <= 1) return PreciseColumns<1>(work, block);
  if (rows <= 2) return PreciseColumns<2>(work, block);
  if (rows <= 4) return PreciseColumns<4>(work, block);
  PreciseColumns<8>(work, block);
}

void InverseDct4x4Precise(int16_t* block) {
  int32_t work[4 * 8];
  Wide x[8], sum[4];
  for (int j = 0; j < 8; ++j) {
    if (j == 4) continue;  // column 4 has no weight at this size
    const int16_t* column = block + j;
    if ((column[8] | column[16] | column[24] | column[40] | column[48] | column[56]) == 0) {
      const int32_t dc = static_cast<int32_t>(Widen(column[0]) << 2);
      for (int r = 0; r < 4; ++r) work[8 * r + j] = dc;
      continue;
    }
    for (int k = 0; k < 8; ++k) x[k] = Widen(column[8 * k]);
    PreciseFourPoint(x, sum);
    for (int r = 0; r < 4; ++r) work[8 * r + j] = Sar(sum[r] + 2048, 12);
  }
  for (int r = 0; r < 4; ++r) {
    const int32_t* row = work + 8 * r;
    int16_t* out = block + 8 * r;
    if ((row[1] | row[2] | row[3] | row[5] | row[6] | row[7]) == 0) {
      const int16_t sample = ClampSample(((row[0] + 16) >> 5) + 128);
      for (int k = 0; k < 4; ++k) out[k] = sample;
      continue;
    }
    for (int k = 0; k < 8; ++k) x[k] = k == 4 ? 0 : static_cast<Wide>(row[k]);
    PreciseFourPoint(x, sum);
    for (int k = 0; k < 4; ++k) out[k] = ClampSample(Sar(sum[k] + 262144, 19) + 128);
  }
}

void InverseDct2x2Precise(int16_t* block) {
  constexpr int kTaps[] = {0, 1, 3, 5, 7};
  int32_t work[2 * 8];
  Wide x[8] = {}, sum[2];
  for (int j : kTaps) {
    const int16_t* column = block + j;
    if ((column[8] | column[24] | column[40] | column[56]) == 0) {
      work[j] = work[8 + j] = static_cast<int32_t>(Widen(column[0]) << 2);
      continue;
    }
    for (int k : kTaps) x[k] = Widen(column[8 * k]);
    PreciseTwoPoint(x, sum);
    work[j] = Sar(sum[0] + 4096, 13);
    work[8 + j] = Sar(sum[1] + 4096, 13);
  }
  for (int r = 0; r < 2; ++r) {
    const int32_t* row = work + 8 * r;
    int16_t* out = block + 8 * r;
    if ((row[1] | row[3] | row[5] | row[7]) == 0) {
      out[0] = out[1] = ClampSample(((row[0] + 16) >> 5) + 128);
      continue;
    }
    for (int k : kTaps) x[k] = static_cast<Wide>(row[k]);
    PreciseTwoPoint(x, sum);
    out[0] = ClampSample(Sar(sum[0] + 524288, 20) + 128);
    out[1] = ClampSample(Sar(sum[1] + 524288, 20) + 128);
  }
}

void InverseDct1x1Precise(int16_t* block) {
  block[0] = ClampSample(((block[0] + 4) >> 3) + 128);
}

}  // namespace jpeg
