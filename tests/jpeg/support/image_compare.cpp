// PSNR over 8-bit samples: 10 log10(255^2 / mean squared error).
#include "tests/jpeg/support/image_compare.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace setuvia::jpegtest {

std::string Difference::Describe() const {
  char text[160];
  if (max_abs == 0) return "identical";
  std::snprintf(text, sizeof text, "psnr %.2f dB, max %d at (%u, %u) channel %u: %d vs %d", psnr,
                max_abs, x, y, channel, ours, peer);
  return text;
}

Difference CompareDibs(std::span<const uint8_t> ours, std::span<const uint8_t> peer,
                       const DibLayout& layout) {
  Difference diff;
  double squares = 0;
  const size_t stride = layout.Stride();
  for (uint32_t row = 0; row < layout.height; ++row) {
    const size_t base = row * stride;  // bottom-up: buffer row 0 is image row height - 1
    for (size_t i = 0; i < layout.RowBytes(); ++i) {
      const int a = ours[base + i], b = peer[base + i];
      const int d = std::abs(a - b);
      squares += static_cast<double>(d) * d;
      if (d <= diff.max_abs) continue;
      diff.max_abs = d;
      diff.x = static_cast<uint32_t>(i / layout.channels);
      diff.channel = static_cast<uint32_t>(i % layout.channels);
      diff.y = layout.height - 1 - row;
      diff.ours = a;
      diff.peer = b;
    }
  }
  const double samples = static_cast<double>(layout.RowBytes()) * layout.height;
  diff.psnr = squares == 0 || samples == 0 ? std::numeric_limits<double>::infinity()
                                           : 10.0 * std::log10(255.0 * 255.0 * samples / squares);
  return diff;
}

uint64_t Fnv1a64(std::span<const uint8_t> bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (uint8_t byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace setuvia::jpegtest
