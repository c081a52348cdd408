// Dequantisation of one coefficient block in place, against a prepared quantisation table
// in natural order (T.81 A.3.4). The multiply form serves the precise transforms, the
// scaled form the fast ones, whose tables carry the AAN factors in Q7 above the quantiser.
#pragma once

#include <cstdint>

namespace jpeg {

// block[i] = low 16 bits of block[i] * table[i].
void DequantizeMultiply(int16_t* block, const int16_t* table);

// block[i] = (block[i] * table[i] + 64) >> 7, arithmetic shift, stored as 16 bits.
void DequantizeScaled(int16_t* block, const int16_t* table);

}  // namespace jpeg
