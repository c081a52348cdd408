// Decoding with our codec through its public interface, exactly as the page loader calls it:
// zero-filled record, JpegInit, parameters read, a bottom-up buffer with rows padded to 4 bytes,
// image read, JpegFree. Used by the corpus tests and the benchmarks alike.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/dib_layout.h"

namespace setuvia::jpegtest {

// How the JPEG colour is chosen after the parameters read.
enum class ColorChoice {
  kAsProgram,   // what the page loader does: gray, YCbCr or RGB, YCCK or CMYK as reported
  kAsReported,  // keep the colour the parameters read reported (e.g. Adobe RGB or CMYK)
};

// Status of every step of one decode; a step that did not run keeps kNotRun.
struct CodecRun {
  static constexpr int32_t kNotRun = 1000;
  int32_t init_status = kNotRun;
  int32_t params_status = kNotRun;
  int32_t image_status = kNotRun;
  int32_t free_status = kNotRun;
  int32_t jpeg_color = 0;  // as reported by the parameters read
  uint32_t jpeg_channels = 0;
  DibLayout layout;
};

// Called after a successful parameters read with the layout the image read will fill; returns
// the buffer (DibLayout::BufferSize() bytes) or nullptr to skip the image read.
using BufferProvider = std::function<uint8_t*(const DibLayout&)>;

// A zero-filled record after JpegInit, reading from jpeg (which must outlive the record);
// JpegInit's status.
int32_t OpenRecord(std::span<const uint8_t> jpeg, JPEG_PROPERTIES& record);

// scale 2, 4 or 8 reads the image at that fraction of its size (the reduced read modes);
// smooth sets smooth_upsampling for the image read.
CodecRun RunCodec(std::span<const uint8_t> jpeg, ColorChoice color,
                  const BufferProvider& provide_buffer, int scale = 1, bool smooth = false);

// A decoded image in its own buffer, with guard bytes on both sides that must stay untouched.
struct CodecImage {
  static constexpr size_t kGuardBytes = 64;
  static constexpr uint8_t kGuardValue = 0xA5;

  CodecRun run;
  bool refused_as_too_large = false;  // the buffer would exceed the caller's pixel cap
  std::vector<uint8_t> storage;       // guard, pixels, guard

  std::span<const uint8_t> Pixels() const;
  bool GuardsIntact() const;
  bool Decoded() const { return run.image_status == 0; }
};

// Decodes into a fresh zero-filled buffer; images above max_pixels are not allocated.
CodecImage DecodeWithCodec(std::span<const uint8_t> jpeg, ColorChoice color, int scale = 1,
                           uint64_t max_pixels = uint64_t{64} << 20, bool smooth = false);

// True for the status codes the codec defines.
bool IsKnownStatus(int32_t status);

}  // namespace setuvia::jpegtest
