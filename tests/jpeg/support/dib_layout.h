// The shape of a decoded page bitmap as the program lays it out: rows stored bottom-up, each
// padded to a multiple of 4 bytes. Shared by our decoder, the peer decoder and the comparisons.
#pragma once

#include <cstddef>
#include <cstdint>

namespace setuvia::jpegtest {

struct DibLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t channels = 0;

  size_t RowBytes() const { return size_t{width} * channels; }
  size_t Stride() const { return (RowBytes() + 3) / 4 * 4; }
  size_t PadBytes() const { return Stride() - RowBytes(); }
  size_t BufferSize() const { return Stride() * height; }
  uint64_t Pixels() const { return uint64_t{width} * height; }
};

}  // namespace setuvia::jpegtest
