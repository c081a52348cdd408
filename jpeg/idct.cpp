// Choice of the inverse DCT routines for a read and of the transform size per block.
#include "jpeg/idct.h"

namespace jpeg {

int TransformSize(int scale, bool square_sampling, int h_times_v) {
  if (scale <= 1) return 8;
  if (square_sampling && h_times_v == 1) return 16 / scale;
  return 8 / scale;
}

}  // namespace jpeg
