// Wrapping 32-bit arithmetic shared by the inverse DCTs.
//
// Coefficients of a corrupt stream can drive the transforms' intermediates past 32 bits;
// the transforms are defined to wrap there, so the sums and products are carried in
// unsigned words (wrapping by definition) and turned signed only for the arithmetic shift.
#pragma once

#include <algorithm>
#include <cstdint>

namespace jpeg::idct_arith {

using Wide = uint32_t;

inline Wide Widen(int16_t v) {
  return static_cast<Wide>(static_cast<int32_t>(v));
}

// Arithmetic shift right of the signed value the word holds.
inline int32_t Sar(Wide v, int n) {
  return static_cast<int32_t>(v) >> n;
}

inline int16_t ClampSample(int32_t v) {
  return static_cast<int16_t>(std::clamp(v, 0, 255));
}

}  // namespace jpeg::idct_arith
