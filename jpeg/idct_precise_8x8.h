// The plain precise 8x8 inverse DCT, which defines the results; the vector kernels of
// jpeg/simd/ reproduce it bit for bit.
//
// Row pass: for each row, the 8-point pass with Q15 rotation constants and a Q12 descale into
// a work array; column pass: the same 8-point pass per column, a descale by 2^21 and the level
// shift of 128 (T.81 A.3.1). The arithmetic is 32-bit and wraps (idct_arith.h).
//
// Real images leave many blocks without AC coefficients, most rows of the others without them
// and the last rows all zero: a block without AC coefficients is one value, and the column
// pass skips the products of trailing zero rows. The row pass takes one of two forms: blocks
// whose coefficients stay in the upper four rows pass row by row, a row without AC
// coefficients getting its one value; the others, with many rows to pass, run all eight rows
// as lanes, which the compiler vectorises; only the rows up to the last non-zero one pass.
// Both forms store 16-bit row results. The column pass runs over the columns as lanes; when
// every row result fits 16 bits (all but corrupt blocks) it multiplies 16-bit values by
// 16-bit constants, which vector units do in one widening step; otherwise the rows pass
// again into 32-bit cells and the column pass takes 32-bit products. All forms give the same
// sums modulo 2^32.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "jpeg/idct_arith.h"

namespace jpeg {
namespace {

using namespace idct_arith;

constexpr int32_t kC1 = 32138, kS1 = 6393, kC3 = 27246, kS3 = 18205;
constexpr int32_t kA = 42813, kB = 17734, kR2 = 5793;  // R2 is sqrt(2) in Q12

// The products of one 8-point pass: the odd rotations f, g, h, l and the even terms u, v, w, z.
struct Rotations {
  Wide f, g, h, l, u, v, w, z;
};

// From inputs of any width: each rotation pair x*c + y*d shares one of its products, which
// changes no result, the arithmetic being modulo 2^32.
inline Rotations WideRotations(Wide x0, Wide x1, Wide x2, Wide x3, Wide x4, Wide x5, Wide x6,
                               Wide x7) {
  const Wide shared17 = (x1 + x7) * kS1, shared35 = (x3 + x5) * kC3, shared26 = (x2 + x6) * kB;
  return {shared17 - x7 * static_cast<Wide>(kS1 + kC1),  // x1 * S1 - x7 * C1
          shared35 - x3 * static_cast<Wide>(kC3 + kS3),  // x5 * C3 - x3 * S3
          shared17 + x1 * static_cast<Wide>(kC1 - kS1),  // x7 * S1 + x1 * C1
          shared35 + x5 * static_cast<Wide>(kS3 - kC3),  // x5 * S3 + x3 * C3
          (x0 + x4) << 15,
          (x0 - x4) << 15,
          shared26 + x2 * static_cast<Wide>(kA - kB),   // x2 * A + x6 * B
          shared26 - x6 * static_cast<Wide>(kA + kB)};  // x2 * B - x6 * A
}

// 16-bit input times 16-bit constant: the product fits 32 bits.
inline Wide Product(int16_t x, int16_t c) {
  return static_cast<Wide>(int32_t{x} * int32_t{c});
}

// From 16-bit inputs, with 16-bit constants only: A = 2^15 + (A - 2^15).
inline Rotations NarrowRotations(int16_t x0, int16_t x1, int16_t x2, int16_t x3, int16_t x4,
                                 int16_t x5, int16_t x6, int16_t x7) {
  constexpr int16_t kALow = kA - 32768;
  return {Product(x1, kS1) - Product(x7, kC1),
          Product(x5, kC3) - Product(x3, kS3),
          Product(x7, kS1) + Product(x1, kC1),
          Product(x5, kS3) + Product(x3, kC3),
          (Widen(x0) + Widen(x4)) << 15,
          (Widen(x0) - Widen(x4)) << 15,
          Product(x2, kALow) + (Widen(x2) << 15) + Product(x6, kB),
          Product(x2, kB) - Product(x6, kALow) - (Widen(x6) << 15)};
}

// Outputs 0..7 of the 8-point pass, before the descale, to store(k, sum).
template <typename Store>
inline void Butterflies(const Rotations& r, Store store) {
  const Wide t = static_cast<Wide>(Sar(r.h + r.l + 2048, 12)) * kR2;
  const Wide s = static_cast<Wide>(Sar(r.f + r.g + 2048, 12)) * kR2;
  const Wide p = (r.h - r.l) + (r.f - r.g);
  const Wide q = (r.h - r.l) - (r.f - r.g);
  store(0, r.u + r.w + t);
  store(7, r.u + r.w - t);
  store(1, r.v + r.z + p);
  store(6, r.v + r.z - p);
  store(2, r.v - r.z + q);
  store(5, r.v - r.z - q);
  store(3, r.u - r.w + s);
  store(4, r.u - r.w - s);
}

inline int16_t DescaledSample(Wide sum) {
  return static_cast<int16_t>(std::clamp(Sar(sum + 1048576, 21) + 128, 0, 255));
}

// The column pass, the columns as lanes, over row results in natural order whose rows from
// kRows on are zero. Value is int32_t for any row results, int16_t when they all fit.
template <int kRows, typename Value>
inline void PreciseColumns(const Value* __restrict work, int16_t* __restrict out) {
  const auto y = [work](int j, int k) { return k < kRows ? work[8 * k + j] : Value{0}; };
  for (int j = 0; j < 8; ++j) {
    Rotations r;
    if constexpr (sizeof(Value) == 2)
      r = NarrowRotations(y(j, 0), y(j, 1), y(j, 2), y(j, 3), y(j, 4), y(j, 5), y(j, 6), y(j, 7));
    else
      r = WideRotations(y(j, 0), y(j, 1), y(j, 2), y(j, 3), y(j, 4), y(j, 5), y(j, 6), y(j, 7));
    Butterflies(r, [out, j](int k, Wide sum) { out[8 * k + j] = DescaledSample(sum); });
  }
}

// The column pass over the first `rows` rows of row results (the others being zero).
template <typename Value>
inline void PreciseColumnsOver(int rows, const Value* work, int16_t* out) {
  if (rows <= 1) return PreciseColumns<1>(work, out);
  if (rows <= 2) return PreciseColumns<2>(work, out);
  if (rows <= 4) return PreciseColumns<4>(work, out);
  PreciseColumns<8>(work, out);
}

// Four cells from `cells` on, as one word.
inline uint64_t FourCells(const int16_t* cells) {
  uint64_t word;
  std::memcpy(&word, cells, sizeof word);
  return word;
}

// Where the row pass puts its results: 32-bit cells as they are, or 16-bit cells, noting
// whether any result did not fit (all but corrupt blocks fit).
struct WideRowResults {
  int32_t* cells;
  void operator()(int i, int32_t value) { cells[i] = value; }
};
// A result fits when value + 2^15 lies in 0..2^16 - 1, so the bits above those of all such
// sums, taken together, tell whether every one did.
struct NarrowRowResults {
  int16_t* cells;
  uint32_t biased = 0;  // every value + 2^15, or-ed
  void operator()(int i, int32_t value) {
    biased |= static_cast<uint32_t>(value + 32768);
    cells[i] = static_cast<int16_t>(value);
  }
  bool Fit() const { return biased >> 16 == 0; }
};

// The row pass one row at a time over the first `count` rows (the others being zero), the
// rows without AC coefficients taking their one value; returns the number of leading rows
// with non-zero results.
template <typename Results>
inline int PreciseRowsEach(const int16_t* coefficients, int count, Results& results) {
  int rows = 0;  // the rows from here on are zero
  for (int r = 0; r < count; ++r) {
    const int16_t* row = coefficients + 8 * r;
    if ((FourCells(row) >> 16 | FourCells(row + 4)) == 0) {  // no AC: the full pass gives x0 * 8
      const int32_t dc = static_cast<int32_t>(Widen(row[0]) << 3);
      for (int k = 0; k < 8; ++k) results(8 * r + k, dc);
      if (dc != 0) rows = r + 1;
      continue;
    }
    const Wide x0 = Widen(row[0]), x1 = Widen(row[1]), x2 = Widen(row[2]), x3 = Widen(row[3]);
    // Rows of smooth blocks often end in four zeros, which spare three products.
    const Rotations rotations = FourCells(row + 4) == 0
                                    ? WideRotations(x0, x1, x2, x3, 0, 0, 0, 0)
                                    : WideRotations(x0, x1, x2, x3, Widen(row[4]), Widen(row[5]),
                                                    Widen(row[6]), Widen(row[7]));
    Butterflies(rotations,
                [&results, r](int k, Wide sum) { results(8 * r + k, Sar(sum + 2048, 12)); });
    rows = r + 1;
  }
  return rows;
}

// The row pass over all eight rows, the rows as lanes: the compiler loads the block as
// vectors, transposes it in registers and takes 16-bit products; the results go out as
// 16-bit values, which transpose back at half the cost of 32-bit ones. A row without AC
// coefficients gives x0 * 8 this way too.
inline void PreciseRowLanes(const int16_t* __restrict coefficients, NarrowRowResults& results) {
  for (int r = 0; r < 8; ++r) {
    const int16_t* x = coefficients + 8 * r;
    Butterflies(NarrowRotations(x[0], x[1], x[2], x[3], x[4], x[5], x[6], x[7]),
                [&results, r](int k, Wide sum) { results(8 * r + k, Sar(sum + 2048, 12)); });
  }
}

inline bool HasAcCoefficients(const int16_t* coefficients) {
  uint64_t ac = FourCells(coefficients) >> 16;
  for (int i = 4; i < 64; i += 4) ac |= FourCells(coefficients + i);
  return ac != 0;
}

// A block without AC coefficients: every column pass gives its u term, DC << 18.
inline void DcOnlyInverseDct(int16_t dc, int16_t* block) {
  const int16_t sample = DescaledSample(Widen(dc) << 18);
  for (int i = 0; i < 64; ++i) block[i] = sample;
}

// The transform of `coefficients`, which have AC terms, into `block` (the same cells, or a
// dequantised copy).
inline void PreciseInverseDctOfAc(const int16_t* coefficients, int16_t* block) {
  // Blocks whose coefficients reach the lower half take the row pass over all rows as vector
  // lanes; the others have few rows to pass, which cost less one at a time. Row results that
  // do not all fit 16 bits are passed again in 32 bits.
  alignas(16) int16_t narrow[64];
  int rows = 8;  // the rows from here on are zero
  while (rows > 4 &&
         (FourCells(coefficients + 8 * rows - 8) | FourCells(coefficients + 8 * rows - 4)) == 0)
    --rows;
  NarrowRowResults narrow_results{narrow};
  if (rows > 4)
    PreciseRowLanes(coefficients, narrow_results);
  else
    rows = PreciseRowsEach(coefficients, rows, narrow_results);
  if (narrow_results.Fit()) return PreciseColumnsOver(rows, narrow, block);
  alignas(16) int32_t work[64];
  WideRowResults wide_results{work};
  PreciseColumnsOver(PreciseRowsEach(coefficients, 8, wide_results), work, block);
}

inline void PreciseInverseDct(int16_t* block) {
  if (!HasAcCoefficients(block)) return DcOnlyInverseDct(block[0], block);
  PreciseInverseDctOfAc(block, block);
}

// DequantizeMultiply and the transform in one pass. The test for AC terms comes first: a
// product keeps its coefficient's zero, and blocks with the DC term alone need only its
// product.
inline void DequantizePreciseInverseDct(int16_t* block, const int16_t* table) {
  if (!HasAcCoefficients(block))
    return DcOnlyInverseDct(static_cast<int16_t>(block[0] * table[0]), block);
  alignas(16) int16_t coefficients[64];
  for (int i = 0; i < 64; ++i) coefficients[i] = static_cast<int16_t>(block[i] * table[i]);
  PreciseInverseDctOfAc(coefficients, block);
}

}  // namespace
}  // namespace jpeg
