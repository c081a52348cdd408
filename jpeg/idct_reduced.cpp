// Precise reduced inverse DCTs of the scaled reads: 4x4, 2x2 or 1x1 samples straight from the
// 8x8 coefficients, skipping those whose basis functions average out at that size, with 13-bit
// constants and 2 extra bits in a 32-bit work array that wraps (idct_arith.h).
//
// Each size also comes with the dequantisation fused in, which multiplies only the
// coefficients the size reads: a 1x1 sample needs the DC product alone (in both families).
#include "jpeg/idct.h"

#include "jpeg/idct_arith.h"

namespace jpeg {
namespace {

using namespace idct_arith;

// 16-bit input times 16-bit constant: the product fits 32 bits.
inline Wide Product(int16_t x, int16_t c) {
  return static_cast<Wide>(int32_t{x} * int32_t{c});
}

// A row's product in the second pass, over 32-bit row results.
inline Wide WideProduct(Wide v, Wide c) {
  return v * c;
}

// Coefficient k of column j, dequantised (low 16 bits of the product, as DequantizeMultiply
// keeps) when a table is given.
template <bool kDequantize>
inline int16_t Coefficient(const int16_t* block, const int16_t* table, int index) {
  if constexpr (kDequantize) return static_cast<int16_t>(block[index] * table[index]);
  return block[index];
}

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

template <bool kDequantize>
void Precise4x4(int16_t* block, const int16_t* table) {
  // Pass 1 over the columns as lanes, which the compiler vectorises with 16-bit products;
  // column 4's results go unused. A column without AC coefficients gives x0 << 2 this way too.
  alignas(16) int32_t work[4 * 8];
  for (int j = 0; j < 8; ++j) {
    Wide sum[4];
    PreciseFourPoint(
        [block, table, j](int k) { return Coefficient<kDequantize>(block, table, 8 * k + j); },
        Product, sum);
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

template <bool kDequantize>
void Precise2x2(int16_t* block, const int16_t* table) {
  // Pass 1 over the columns as lanes, as in the 4x4 transform; columns 2, 4 and 6 go unused.
  alignas(16) int32_t work[2 * 8];
  for (int j = 0; j < 8; ++j) {
    Wide sum[2];
    PreciseTwoPoint(
        [block, table, j](int k) { return Coefficient<kDequantize>(block, table, 8 * k + j); },
        Product, sum);
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

}  // namespace

void InverseDct4x4Precise(int16_t* block) {
  Precise4x4<false>(block, nullptr);
}

void DequantizeInverseDct4x4Precise(int16_t* block, const int16_t* table) {
  Precise4x4<true>(block, table);
}

void InverseDct2x2Precise(int16_t* block) {
  Precise2x2<false>(block, nullptr);
}

void DequantizeInverseDct2x2Precise(int16_t* block, const int16_t* table) {
  Precise2x2<true>(block, table);
}

void InverseDct1x1Precise(int16_t* block) {
  block[0] = Precise1x1Sample(block[0], 1);
}

void DequantizeInverseDct1x1Precise(int16_t* block, const int16_t* table) {
  block[0] = Precise1x1Sample(block[0], table[0]);
}

void DequantizeInverseDct1x1Fast(int16_t* block, const int16_t* table) {
  block[0] = static_cast<int16_t>((block[0] * table[0] + 64) >> 7);
  InverseDct1x1Fast(block);
}

}  // namespace jpeg
