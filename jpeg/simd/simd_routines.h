// Declarations of the instruction-set kernels in jpeg/simd/ that the routine table
// installs. Each kernel has the contract of its plain counterpart.
#pragma once

#include <cstdint>

namespace jpeg {

void EndSimdEmms();
void InverseDct8x8PreciseAvx2(int16_t* block);

}  // namespace jpeg
