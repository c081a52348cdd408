// Quantisation-table preparation for the two inverse-DCT methods, and the zigzag
// tables the block decoder shares. A DQT slot holds its 64 entries in stream (zigzag)
// order; preparation rewrites them in place in natural order, prescaled for the fast
// method, and zeroes the 16 entries behind them.
#pragma once

#include <cstdint>

namespace jpeg {

// Zigzag position -> natural (row-major) position, T.81 Figure A.6, followed by 16
// entries of 63 so that a run past coefficient 63 lands on coefficient 63. Constant, so
// that loops over it unroll into fixed moves.
inline constexpr int32_t kNaturalOrder[64 + 16] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,   //
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,  //
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,  //
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,  //
    63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63};

// AAN scale factors in zigzag order: s(r)·s(k)/8 for natural position (r, k), with
// s(0) = 1 and s(n) = cos(n·pi/16)·sqrt(2).
extern const double kAanScale[64];

// table: 64 entries in zigzag order plus 16 more that are zeroed.
void PrepareQuantTablePrecise(int16_t* table);
void PrepareQuantTableFast(int16_t* table);

}  // namespace jpeg
