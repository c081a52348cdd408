// Comparing two decoded bitmaps of one layout (PSNR, largest difference and where it is) and
// hashing one for the golden table.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tests/jpeg/support/dib_layout.h"

namespace setuvia::jpegtest {

struct Difference {
  double psnr = 0;  // in dB over the pixel bytes; infinity when identical
  int max_abs = 0;
  // Position of the first largest difference, in image coordinates (row 0 at the top).
  uint32_t x = 0, y = 0, channel = 0;
  int ours = 0, peer = 0;  // the two values there

  std::string Describe() const;  // "psnr 48.21 dB, max 3 at (x, y) channel c: 120 vs 117"
};

// Compares the pixel bytes of two bottom-up buffers; padding bytes are ignored.
Difference CompareDibs(std::span<const uint8_t> ours, std::span<const uint8_t> peer,
                       const DibLayout& layout);

// FNV-1a, 64 bits.
uint64_t Fnv1a64(std::span<const uint8_t> bytes);

}  // namespace setuvia::jpegtest
