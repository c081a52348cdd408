// The triangle filter of smooth upsampling, one output row of one component at a time.
// Each output sample weighs its nearest input sample 3/4 and the next farther one 1/4,
// across and, for a component at half the height, down as well; the rounding
// alternates between neighbouring outputs (+1 and +2, or +8 and +7) so that the
// filter adds no bias. A neighbour beyond the component's samples is replaced by the
// edge sample. T.81 leaves upsampling to the decoder (A.1.1); these are the rules the
// codec gives it.
#pragma once

#include <cstdint>

namespace jpeg {

enum class SmoothKind {
  kCopy,        // sampled like the output, or reduced only down (replicated)
  kHorizontal,  // half the width: 2x across
  kBoth,        // half the width and height: 2x2
};

// The samples one output row takes, indexed by sample column: near is the output row's
// own sample row, far the vertical neighbour (above for an even output row, below for an
// odd one, near itself at an edge); far is read for kBoth only.
struct SmoothRowSource {
  SmoothKind kind;
  const uint8_t* near;
  const uint8_t* far;
  int32_t last_column;  // the last sample column a neighbour may be taken from
};

// Writes output pixels x_begin..x_end-1 (image columns, at most 32 of them: one MCU) into
// every `channels`-th byte from out, which is pixel x_begin's byte.
void SmoothUpsampleRow(const SmoothRowSource& source, int32_t x_begin, int32_t x_end, uint8_t* out,
                       int32_t channels);

}  // namespace jpeg
