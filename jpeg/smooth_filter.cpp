// Triangle filter rows. Output column x takes sample k = x / 2 as its nearest; an even
// x takes k - 1 as the farther neighbour, an odd x takes k + 1. For 2x2 the vertical
// step comes first as a column sum (3 near + far), so each output is
// (9 nearest + 3 across + 3 down + diagonal + 8 or 7) >> 4.
#include "jpeg/smooth_filter.h"

#include <algorithm>

namespace jpeg {
namespace {

int32_t Farther(int32_t x, int32_t last_column) {
  const int32_t k = x >> 1;
  return (x & 1) != 0 ? std::min(k + 1, last_column) : std::max(k - 1, 0);
}

}  // namespace

void SmoothUpsampleRow(const SmoothRowSource& source, int32_t x_begin, int32_t x_end, uint8_t* out,
                       int32_t channels) {
  const uint8_t* near = source.near;
  const uint8_t* far = source.far;
  const int32_t last = source.last_column;
  switch (source.kind) {
    case SmoothKind::kCopy:
      for (int32_t x = x_begin; x < x_end; ++x, out += channels) *out = near[x];
      return;
    case SmoothKind::kHorizontal:
      for (int32_t x = x_begin; x < x_end; ++x, out += channels) {
        const int32_t k = x >> 1, j = Farther(x, last);
        *out = static_cast<uint8_t>((3 * near[k] + near[j] + 1 + (x & 1)) >> 2);
      }
      return;
    case SmoothKind::kBoth:
      for (int32_t x = x_begin; x < x_end; ++x, out += channels) {
        const int32_t k = x >> 1, j = Farther(x, last);
        const int32_t nearest = 3 * near[k] + far[k], farther = 3 * near[j] + far[j];
        *out = static_cast<uint8_t>((3 * nearest + farther + 8 - (x & 1)) >> 4);
      }
      return;
  }
}

}  // namespace jpeg
