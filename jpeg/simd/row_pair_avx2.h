// The store shared by the AVX2 output kernels that build two output rows at once: each
// 128-bit half of `left` and `right` holds one row's first and second 16 bytes, as the
// in-lane packs and unpacks leave them.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace jpeg {

// Stores 32 bytes of a row at `pixels` and 32 of the next row, `row_step` further on.
inline void StoreRowPair(uint8_t* pixels, int32_t row_step, __m256i left, __m256i right) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels),
                      _mm256_permute2x128_si256(left, right, 0x20));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + row_step),
                      _mm256_permute2x128_si256(left, right, 0x31));
}

}  // namespace jpeg
