// The plain precise 8x8 inverse DCT, which defines the results; the vector kernels of
// jpeg/simd/ reproduce it bit for bit.
//
// Row pass: for each row, the 8-point pass with Q15 rotation constants and a Q12 descale into
// a 32-bit work array; column pass: the same 8-point pass per column, a descale by 2^21 and
// the level shift of 128 (T.81 A.3.1). The arithmetic is 32-bit and wraps (idct_arith.h).
// Each pass is one straight loop over independent lanes (rows or columns), which the
// compiler runs in vector registers. Real images leave most rows of a block without AC
// coefficients and the last rows all zero; the column pass skips the products of the
// trailing zero rows.
#pragma once

#include <algorithm>
#include <cstdint>

#include "jpeg/idct_arith.h"

namespace jpeg {
namespace {

using namespace idct_arith;

constexpr Wide kC1 = 32138, kS1 = 6393, kC3 = 27246, kS3 = 18205;
constexpr Wide kA = 42813, kB = 17734, kR2 = 5793;  // R2 is sqrt(2) in Q12

// The 8-point pass over `kLanes` independent lanes. load(lane, k) gives input k of a lane;
// inputs from k = kInputs on are known to be zero and fold away. store(lane, k, sum) takes
// output k before the descale. Each rotation pair x*c + y*d shares one of its products,
// which changes no result: the arithmetic is modulo 2^32.
template <int kLanes, int kInputs, typename Load, typename Store>
inline void PreciseEightPoint(Load load, Store store) {
  const auto in = [&load](int lane, int k) {
    return k < kInputs ? static_cast<Wide>(load(lane, k)) : Wide{0};
  };
  for (int lane = 0; lane < kLanes; ++lane) {
    const Wide x0 = in(lane, 0), x1 = in(lane, 1), x2 = in(lane, 2), x3 = in(lane, 3);
    const Wide x4 = in(lane, 4), x5 = in(lane, 5), x6 = in(lane, 6), x7 = in(lane, 7);
    const Wide shared17 = (x1 + x7) * kS1;
    const Wide f = shared17 - x7 * (kS1 + kC1);  // x1 * S1 - x7 * C1
    const Wide h = shared17 + x1 * (kC1 - kS1);  // x7 * S1 + x1 * C1
    const Wide shared35 = (x3 + x5) * kC3;
    const Wide g = shared35 - x3 * (kC3 + kS3);  // x5 * C3 - x3 * S3
    const Wide l = shared35 + x5 * (kS3 - kC3);  // x5 * S3 + x3 * C3
    const Wide t = static_cast<Wide>(Sar(h + l + 2048, 12)) * kR2;
    const Wide s = static_cast<Wide>(Sar(f + g + 2048, 12)) * kR2;
    const Wide p = (h - l) + (f - g);
    const Wide q = (h - l) - (f - g);
    const Wide u = (x0 + x4) << 15;
    const Wide v = (x0 - x4) << 15;
    const Wide shared26 = (x2 + x6) * kB;
    const Wide w = shared26 + x2 * (kA - kB);  // x2 * A + x6 * B
    const Wide z = shared26 - x6 * (kA + kB);  // x2 * B - x6 * A
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

// The row pass goes row by row and gives a row without AC
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

}  // namespace
}  // namespace jpeg
