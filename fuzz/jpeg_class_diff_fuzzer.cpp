// Differential fuzzing of the routine table: every input is decoded twice from memory, once
// with the plain routines (processor class 0) and once with the best class this processor
// runs (class 6, lowered by the codec to what the processor can execute), and both reads must
// give the same statuses and the same bytes. The input's last byte picks the output colour,
// the row order and the inverse DCT, so every kernel pair meets the same coefficients.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_checks.h"
#include "jpeg/jpeg_codec.h"

namespace {

constexpr uint64_t kMaxPixels = uint64_t{1} << 16;

struct Output {
  uint32_t color, channels;
};
constexpr Output kOutputs[] = {
    {COLOR_BGR, 3}, {COLOR_RGB, 3}, {COLOR_RGBA, 4}, {COLOR_GRAY, 1}, {COLOR_YCBCR, 3}};
constexpr uint32_t kOutputCount = sizeof kOutputs / sizeof kOutputs[0];

struct Decoded {
  int32_t params_status = 0, image_status = 0;
  std::vector<uint8_t> pixels;
};

Decoded Decode(const std::vector<uint8_t>& bytes, uint32_t choice, const char* processor_class) {
  setenv("SETUVIA_JPEG_USECPU", processor_class, 1);
  Decoded result;
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  if (JpegInit(&p) != 0) std::abort();
  const Output& output = kOutputs[choice % kOutputCount];
  p.state.dct_method = choice / kOutputCount % 2 == 0 ? DCT_METHOD_PRECISE : DCT_METHOD_FAST;
  p.jpeg_buffer = bytes.data();
  p.jpeg_buffer_size = static_cast<uint32_t>(bytes.size());
  result.params_status = JpegRead(&p, READ_PARAMS_BUFFER);
  setuvia::fuzz::CheckKnownStatus(result.params_status);
  if (result.params_status == 0 && uint64_t{p.jpeg_width} * p.jpeg_height <= kMaxPixels) {
    const bool gray = p.jpeg_channels == 1 || output.color == COLOR_GRAY;
    const uint32_t channels = gray ? 1 : output.channels;
    // A fixed fill, so that bytes one class writes and the other does not show too.
    result.pixels.assign(size_t{p.jpeg_width} * channels * p.jpeg_height, 0xA5);
    p.dib_pixels = result.pixels.data();
    p.dib_width = p.jpeg_width;
    const auto height = static_cast<int32_t>(p.jpeg_height);
    p.dib_height = choice / kOutputCount / 2 % 2 == 0 ? height : -height;
    p.dib_channels = channels;
    p.dib_color = gray ? COLOR_GRAY : output.color;
    if (gray) p.jpeg_color = COLOR_GRAY;
    result.image_status = JpegRead(&p, READ_IMAGE_BUFFER);
    setuvia::fuzz::CheckKnownStatus(result.image_status);
  }
  JpegFree(&p);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  const uint32_t choice = (size == 0 ? 0u : data[size - 1]) ^ static_cast<uint32_t>(size);
  const Decoded plain = Decode(bytes, choice, "0");
  const Decoded best = Decode(bytes, choice, "6");
  if (plain.params_status != best.params_status || plain.image_status != best.image_status ||
      plain.pixels != best.pixels)
    __builtin_trap();
  return 0;
}
