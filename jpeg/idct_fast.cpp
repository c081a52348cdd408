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

inline Wide Mul(Wide x, Wide k) {
  return static_cast<Wide>(Sar(x * k + 16384, 15));
}

// The 8-point pass over `kLanes` independent lanes, one straight loop that the compiler
// runs in vector registers: load(lane, k) gives input k of a lane, store(lane, k, value)
// takes output k before any descale.
template <int kLanes, typename Load, typename Store>
inline void FastEightPoint(Load load, Store store) {
  for (int lane = 0; lane < kLanes; ++lane) {
    const Wide x0 = load(lane, 0), x1 = load(lane, 1), x2 = load(lane, 2), x3 = load(lane, 3);
    const Wide x4 = load(lane, 4), x5 = load(lane, 5), x6 = load(lane, 6), x7 = load(lane, 7);
    const Wide e = Mul(x5 + x7 - x3 - x1, kK2);
    const Wide f = Mul(x1 + x7 - x5 - x3, kK1);
    const Wide g = x5 + x3 + x1 + x7;
    const Wide h = e - Mul(x5 - x3, kK4);
    const Wide l = Mul(x1 - x7, kK3) - e - g;
    const Wide u = x2 + x6;
    const Wide v = Mul(x2 - x6, kK1) - u;
    const Wide d = x0 - x4;
    const Wide a = x0 + x4;
    store(lane, 0, a + u + g);
    store(lane, 1, d + v + l);
    store(lane, 2, d - v + f - l);
    store(lane, 3, a - u - (h + f - l));
    store(lane, 4, a - u + (h + f - l));
    store(lane, 5, d - v - (f - l));
    store(lane, 6, d + v - l);
    store(lane, 7, a + u - g);
  }
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

inline int16_t Store16(Wide v) {
  return static_cast<int16_t>(v);
}

inline int16_t Descale(Wide v) {
  return ClampSample(Sar(v + 8, 4) + 128);
}

}  // namespace

// The column pass runs the eight columns as vector lanes; the row pass goes row by row.
void InverseDct8x8Fast(int16_t* block) {
  FastEightPoint<8>([block](int j, int k) { return Widen(block[8 * k + j]); },
                    [block](int j, int k, Wide value) { block[8 * k + j] = Store16(value); });
  for (int r = 0; r < 8; ++r) {
    int16_t* row = block + 8 * r;
    FastEightPoint<1>([row](int, int k) { return Widen(row[k]); },
                      [row](int, int k, Wide value) { row[k] = Descale(value); });
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
