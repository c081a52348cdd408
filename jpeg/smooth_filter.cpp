// Triangle filter rows. Output column x takes sample k = x / 2 as its nearest; an even
// x takes k - 1 as the farther neighbour, an odd x takes k + 1. For 2x2 the vertical
// step comes first as a column sum (3 near + far), so each output is
// (9 nearest + 3 across + 3 down + diagonal + 8 or 7) >> 4. The samples of a row are
// gathered once, edges resolved, so the outputs go in pairs without a test each.
#include "jpeg/smooth_filter.h"

#include <algorithm>

namespace jpeg {
namespace {

// The samples an MCU row's outputs take, with one neighbour on each side: the outputs of
// an MCU are at most 32 wide.
constexpr int32_t kMaxWindow = 32 / 2 + 3;

}  // namespace

void SmoothUpsampleRow(const SmoothRowSource& source, int32_t x_begin, int32_t x_end, uint8_t* out,
                       int32_t channels) {
  const uint8_t* near = source.near;
  if (source.kind == SmoothKind::kCopy) {
    for (int32_t x = x_begin; x < x_end; ++x, out += channels) *out = near[x];
    return;
  }
  // window[i] is sample first - 1 + i (its column sum 3 near + far for 2x2), the edge
  // sample standing in beyond the component.
  const bool both = source.kind == SmoothKind::kBoth;
  const int32_t first = x_begin >> 1, last = (x_end - 1) >> 1;
  int32_t window[kMaxWindow];
  for (int32_t k = first - 1, i = 0; k <= last + 1 && i < kMaxWindow; ++k, ++i) {
    const int32_t c = std::clamp(k, 0, source.last_column);
    window[i] = both ? 3 * near[c] + source.far[c] : near[c];
  }
  const int32_t shift = both ? 4 : 2, even_round = both ? 8 : 1, odd_round = both ? 7 : 2;
  const int32_t* nearest = window + 1 - first;  // indexed by sample column
  auto even = [&](int32_t k) { return (3 * nearest[k] + nearest[k - 1] + even_round) >> shift; };
  auto odd = [&](int32_t k) { return (3 * nearest[k] + nearest[k + 1] + odd_round) >> shift; };
  int32_t x = x_begin;
  if ((x & 1) != 0 && x < x_end) {
    *out = static_cast<uint8_t>(odd(x >> 1));
    out += channels;
    ++x;
  }
  for (; x + 1 < x_end; x += 2, out += 2 * channels) {
    out[0] = static_cast<uint8_t>(even(x >> 1));
    out[channels] = static_cast<uint8_t>(odd(x >> 1));
  }
  if (x < x_end) *out = static_cast<uint8_t>(even(x >> 1));
}

}  // namespace jpeg
