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

// Reduced 4-point pass over inputs x(0..7) (x(4) unused): outputs before the descale.
// times(x, c) forms each product.
template <typename Input, typename Times>
inline void PreciseFourPoint(Input x, Times times, Wide* sum) {
  const Wide t0 = static_cast<Wide>(x(0)) << 14;
  const Wide t2 = times(x(2), 15137) - times(x(6), 6270);
  const Wide odd0 = times(x(1), 8697) - times(x(3), 17799) + times(x(5), 11893) - times(x(7), 1730);
  const Wide odd2 = times(x(1), 20995) + times(x(3), 7373) - times(x(5), 4926) - times(x(7), 4176);
  sum[0] = t0 + t2 + odd2;
  sum[3] = t0 + t2 - odd2;
  sum[1] = t0 - t2 + odd0;
  sum[2] = t0 - t2 - odd0;
}

// Reduced 2-point pass over inputs x(0), x(1), x(3), x(5), x(7); times(x, c) forms each
// product.
template <typename Input, typename Times>
inline void PreciseTwoPoint(Input x, Times times, Wide* sum) {
  const Wide t0 = static_cast<Wide>(x(0)) << 15;
  const Wide t1 = times(x(1), 29692) - times(x(3), 10426) + times(x(5), 6967) - times(x(7), 5906);
  sum[0] = t0 + t1;
  sum[1] = t0 - t1;
}

// A row's product in the second pass, over 32-bit row results.
inline Wide WideProduct(Wide v, Wide c) {
  return v * c;
}

}  // namespace

void InverseDct8x8Precise(int16_t* block) {
  PreciseInverseDct(block);
}

void DequantizeInverseDct8x8Precise(int16_t* block, const int16_t* table) {
  DequantizePreciseInverseDct(block, table);
}

void InverseDct4x4Precise(int16_t* block) {
  // Pass 1 over the columns as lanes, which the compiler vectorises with 16-bit products;
  // column 4's results go unused. A column without AC coefficients gives x0 << 2 this way too.
  alignas(16) int32_t work[4 * 8];
  for (int j = 0; j < 8; ++j) {
    Wide sum[4];
    PreciseFourPoint([block, j](int k) { return block[8 * k + j]; }, Product, sum);
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
    Wide sum[4];
    PreciseFourPoint([row](int k) { return k == 4 ? Wide{0} : static_cast<Wide>(row[k]); },
                     WideProduct, sum);
    for (int k = 0; k < 4; ++k) out[k] = ClampSample(Sar(sum[k] + 262144, 19) + 128);
  }
}

void InverseDct2x2Precise(int16_t* block) {
  // Pass 1 over the columns as lanes, as in the 4x4 transform; columns 2, 4 and 6 go unused.
  alignas(16) int32_t work[2 * 8];
  for (int j = 0; j < 8; ++j) {
    Wide sum[2];
    PreciseTwoPoint([block, j](int k) { return block[8 * k + j]; }, Product, sum);
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
    Wide sum[2];
    PreciseTwoPoint([row](int k) { return static_cast<Wide>(row[k]); }, WideProduct, sum);
    out[0] = ClampSample(Sar(sum[0] + 524288, 20) + 128);
    out[1] = ClampSample(Sar(sum[1] + 524288, 20) + 128);
  }
}

void InverseDct1x1Precise(int16_t* block) {
  block[0] = ClampSample(((block[0] + 4) >> 3) + 128);
}

}  // namespace jpeg
