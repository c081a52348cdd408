// Precise inverse DCTs: two passes with 32-bit intermediates.
//
// The 8x8 transform, alone or with the dequantisation fused in, is idct_precise_8x8.h. The
// reduced transforms compute 4x4, 2x2 or 1x1 outputs straight from the 8x8 coefficients with
// 13-bit constants, skipping the coefficients whose basis functions average out at that size.
#include "jpeg/idct.h"

#include "jpeg/idct_arith.h"
#include "jpeg/idct_precise_8x8.h"

namespace jpeg {
namespace {

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

void InverseDct8x8Precise(int16_t* block) {
  PreciseInverseDct(block);
}

void DequantizeInverseDct8x8Precise(int16_t* block, const int16_t* table) {
  DequantizePreciseInverseDct(block, table);
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
