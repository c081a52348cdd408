// Dequantisation kernels. Both products fit 32 bits (16 x 16 bits), so the loops are plain
// int arithmetic that compilers vectorise; the 16-bit store keeps the low half, as defined.
#include "jpeg/dequantize.h"

namespace jpeg {

void DequantizeMultiply(int16_t* block, const int16_t* table) {
  for (int i = 0; i < 64; ++i) block[i] = static_cast<int16_t>(block[i] * table[i]);
}

void DequantizeScaled(int16_t* block, const int16_t* table) {
  for (int i = 0; i < 64; ++i) block[i] = static_cast<int16_t>((block[i] * table[i] + 64) >> 7);
}

}  // namespace jpeg
