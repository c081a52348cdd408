// Declarations of the instruction-set kernels in jpeg/simd/ that the routine table
// installs. Each kernel has the contract of its plain counterpart.
#pragma once

namespace jpeg {

void EndSimdEmms();

}  // namespace jpeg
