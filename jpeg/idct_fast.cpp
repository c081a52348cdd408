// Fast inverse DCTs: the Arai-Agui-Nakajima factorisation with 16-bit storage between passes.
//
// The prepared quantisation table already carries the AAN scale factors, so the 8-point
// pass needs only five multiplications. Column results are stored back into the block as
// 16-bit values; the row pass descales by 16 and level-shifts by 128. The reduced sizes
// use the same idea with the averaged basis functions of the 4- and 2-point outputs.
#include "jpeg/idct.h"

#include "jpeg/idct_arith.h"

namespace jpeg {
namespace {

using namespace idct_arith;

constexpr Wide kK1 = 46341;  // sqrt(2) in Q15
constexpr Wide kK2 = 25080;  // 0.765367
constexpr Wide kK3 = 35468;  // 1.082392
constexpr Wide kK4 = 85627;  // 2.613126

inline Wide Mul(Wide x, Wide k) { return static_cast<Wide>(Sar(x * k + 16384, 15)); }

// One 8-point pass: x holds the eight inputs, out the eight results before any descale.
inline void FastEightPoint(const Wide* x, Wide* out) {
  const Wide e = Mul(x[5] + x[7] - x[3] - x[1], kK2);
  const Wide f = Mul(x[1] + x[7] - x[5] - x[3], kK1);
  const Wide g = x[5] + x[3] + x[1] + x[7];
  const Wide h = e - Mul(x[5] - x[3], kK4);
  const Wide l = Mul(x[1] - x[7], kK3) - e - g;
  const Wide u = x[2] + x[6];
  const Wide v = Mul(x[2] - x[6], kK1) - u;
  const Wide d = x[0] - x[4];
  const Wide a = x[0] + x[4];
  out[0] = a + u + g;
  out[1] = d + v + l;
  out[2] = d - v + f - l;
  out[3] = a - u - (h + f - l);
  out[4] = a - u + (h + f - l);
  out[5] = d - v - (f - l);
  out[6] = d + v - l;
  out[7] = a + u - g;
}

// Reduced 4-point pass over x[0..7] (x[4] unused).
inline void FastFourPoint(const Wide* x, Wide* out) {
  const Wide b = x[0];
  const Wide m = static_cast<Wide>(static_cast<int32_t>(Mul(x[2] - x[6], kK1)) / 2);
  const Wide p = x[5] - x[3];
  const Wide q = x[1] - x[7];
  const Wide i = static_cast<Wide>(Sar(q * 60548 - p * 25080 + 32768, 16));
  const Wide j = static_cast<Wide>(Sar(p * 60547 + q * 25080 + 32768, 16));
  out[0] = b + m + i;
  out[1] = b + j - m;
  out[2] = b - m - j;
  out[3] = b + m - i;
}

// Reduced 2-point odd term over x[1], x[3], x[5], x[7].
inline Wide FastTwoPointOdd(const Wide* x) {
  return static_cast<Wide>(Sar((x[1] - x[7]) * kK4 + (x[5] - x[3]) * kK3 + 65536, 17));
}

inline int16_t Store16(Wide v) { return static_cast<int16_t>(v); }

inline int16_t Descale(Wide v) { return ClampSample(Sar(v + 8, 4) + 128); }

}  // namespace

void InverseDct8x8Fast(int16_t* block) {
  Wide x[8], out[8];
  for (int j = 0; j < 8; ++j) {
    for (int k = 0; k < 8; ++k) x[k] = Widen(block[8 * k + j]);
    FastEightPoint(x, out);
    for (int k = 0; k < 8; ++k) block[8 * k + j] = Store16(out[k]);
  }
  for (int r = 0; r < 8; ++r) {
    int16_t* row = block + 8 * r;
    for (int k = 0; k < 8; ++k) x[k] = Widen(row[k]);
    FastEightPoint(x, out);
    for (int k = 0; k < 8; ++k) row[k] = Descale(out[k]);
  }
}

void InverseDct4x4Fast(int16_t* block) {
  Wide x[8] = {}, out[4];
  for (int j = 0; j < 8; ++j) {
    if (j == 4) continue;  // column 4 has no weight at this size
    for (int k = 0; k < 8; ++k) x[k] = Widen(block[8 * k + j]);
    FastFourPoint(x, out);
    for (int r = 0; r < 4; ++r) block[8 * r + j] = Store16(out[r]);
  }
  for (int r = 0; r < 4; ++r) {
    int16_t* row = block + 8 * r;
    for (int k = 0; k < 8; ++k) x[k] = Widen(row[k]);
    FastFourPoint(x, out);
    for (int k = 0; k < 4; ++k) row[k] = Descale(out[k]);
  }
}

void InverseDct2x2Fast(int16_t* block) {
  constexpr int kTaps[] = {0, 1, 3, 5, 7};
  Wide x[8] = {};
  for (int j : kTaps) {
    for (int k : kTaps) x[k] = Widen(block[8 * k + j]);
    const Wide odd = FastTwoPointOdd(x);
    block[j] = Store16(x[0] + odd);
    block[8 + j] = Store16(x[0] - odd);
  }
  for (int r = 0; r < 2; ++r) {
    int16_t* row = block + 8 * r;
    for (int k : kTaps) x[k] = Widen(row[k]);
    const Wide odd = FastTwoPointOdd(x);
    row[0] = Descale(x[0] + odd);
    row[1] = Descale(x[0] - odd);
  }
}

void InverseDct1x1Fast(int16_t* block) {
  block[0] = ClampSample(((block[0] + 8) >> 4) + 128);
}

}  // namespace jpeg
