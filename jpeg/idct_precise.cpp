// Precise inverse DCTs at full size: two passes with 32-bit intermediates, alone or with the
// dequantisation fused in (idct_precise_8x8.h). The reduced sizes are idct_reduced.cpp.
#include "jpeg/idct.h"

#include "jpeg/idct_precise_8x8.h"

namespace jpeg {

void InverseDct8x8Precise(int16_t* block) {
  PreciseInverseDct(block);
}

void DequantizeInverseDct8x8Precise(int16_t* block, const int16_t* table) {
  DequantizePreciseInverseDct(block, table);
}

}  // namespace jpeg
