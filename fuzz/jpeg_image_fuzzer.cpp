// Fuzzes whole-image reads from memory: a parameter read, then an image read into a
// buffer of exactly the size its dib_ fields describe, so that any write outside it is
// caught. The input's size picks one of several output layouts, among them a buffer
// smaller than the frame; frames above a pixel cap are not decoded, to keep runs fast.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "jpeg/jpeg_codec.h"

namespace {

constexpr uint64_t kMaxPixels = uint64_t{1} << 20;

struct Layout {
  uint32_t channels;
  uint32_t color;
  bool bottom_up;
  uint32_t pad;
  bool clipped;  // half the frame's width and height
};

constexpr Layout kLayouts[] = {
    {3, COLOR_BGR, true, 0, false},  {3, COLOR_RGB, false, 1, false},
    {4, COLOR_RGBA, true, 0, false}, {1, COLOR_GRAY, false, 3, false},
    {3, COLOR_BGR, false, 2, true},  {3, COLOR_YCBCR, true, 0, false},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  if (JpegInit(&p) != 0) return 0;
  p.jpeg_buffer = bytes.data();
  p.jpeg_buffer_size = static_cast<uint32_t>(bytes.size());
  const Layout& layout = kLayouts[size % (sizeof kLayouts / sizeof kLayouts[0])];
  if (JpegRead(&p, READ_PARAMS_BUFFER) == 0 &&
      uint64_t{p.jpeg_width} * p.jpeg_height <= kMaxPixels) {
    const uint32_t width = layout.clipped ? (p.jpeg_width + 1) / 2 : p.jpeg_width;
    const uint32_t height = layout.clipped ? (p.jpeg_height + 1) / 2 : p.jpeg_height;
    std::vector<uint8_t> pixels((size_t{width} * layout.channels + layout.pad) * height);
    p.dib_pixels = pixels.data();
    p.dib_width = width;
    p.dib_height = layout.bottom_up ? -static_cast<int32_t>(height) : static_cast<int32_t>(height);
    p.dib_pad_bytes = layout.pad;
    p.dib_channels = layout.channels;
    p.dib_color = layout.color;
    if (p.jpeg_channels == 1) p.jpeg_color = COLOR_GRAY;
    const int32_t status = JpegRead(&p, READ_IMAGE_BUFFER);
    if (JpegErrorText(status) == nullptr) __builtin_trap();
  }
  JpegFree(&p);
  return 0;
}
