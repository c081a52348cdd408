// Fuzzes whole-image reads: a parameter read, then an image read into a buffer of exactly
// the size its dib_ fields describe, so that any write outside it is caught, and every pixel
// byte of a successful read is read afterwards. The input's last byte and its length choose the
// output layout (a buffer smaller than the frame and the unconverted components among them), the
// inverse DCT, the scale (whole, 1/2, 1/4 or 1/8) and whether the codec reads from memory or
// from a file; the seeds are whole images,
// so libFuzzer reaches every choice by changing, inserting or appending bytes. Frames above
// kMaxPixels are not decoded, which keeps a run at hundreds of inputs a second.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_checks.h"
#include "jpeg/jpeg_codec.h"

namespace {

constexpr uint64_t kMaxPixels = uint64_t{1} << 16;

struct Layout {
  uint32_t channels;  // 0: as many as the frame has components
  uint32_t color;
  bool bottom_up;
  uint32_t pad;
  bool clipped;  // half the frame's width and height
};

constexpr Layout kLayouts[] = {
    {3, COLOR_BGR, true, 0, false},   {3, COLOR_RGB, false, 1, false},
    {4, COLOR_RGBA, true, 0, false},  {1, COLOR_GRAY, false, 3, false},
    {3, COLOR_BGR, false, 2, true},   {3, COLOR_YCBCR, true, 0, false},
    {0, COLOR_OTHER, true, 1, false}, {0, COLOR_OTHER, false, 0, true},
};
constexpr size_t kLayoutCount = sizeof kLayouts / sizeof kLayouts[0];

struct Choice {
  const Layout* layout;
  int32_t dct_method;
  bool from_file;
  uint32_t scale;
};

Choice ChooseFrom(const uint8_t* data, size_t size) {
  const uint32_t bits = (size == 0 ? 0u : data[size - 1]) ^ static_cast<uint32_t>(size);
  return {&kLayouts[bits % kLayoutCount],
          bits / kLayoutCount % 2 == 0 ? DCT_METHOD_PRECISE : DCT_METHOD_FAST,
          bits / kLayoutCount / 2 % 2 == 1, 1u << (bits / kLayoutCount / 4 % 4)};
}

// The image read of the scale, from a file or from memory.
int32_t ImageMode(uint32_t scale, bool from_file) {
  const int32_t buffer_mode = scale == 2   ? READ_HALF_BUFFER
                              : scale == 4 ? READ_QUARTER_BUFFER
                              : scale == 8 ? READ_EIGHTH_BUFFER
                                           : READ_IMAGE_BUFFER;
  return from_file ? buffer_mode - 1 : buffer_mode;
}

// One file per fuzzing process, rewritten for every input that is read from a file.
const char* InputFile(const std::vector<uint8_t>& bytes) {
  static const std::string path = [] {
    std::string name =
        (std::filesystem::temp_directory_path() / "jpeg_image_fuzzer_XXXXXX").string();
    const int fd = mkstemp(name.data());
    if (fd < 0) std::abort();
    close(fd);
    return name;
  }();
  static const int removed_at_exit = std::atexit([] { std::remove(path.c_str()); });
  (void)removed_at_exit;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      std::fclose(file) != 0)
    std::abort();
  return path.c_str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that any read beyond the caller's bytes is caught.
  std::vector<uint8_t> bytes(data, data + size);
  const Choice choice = ChooseFrom(data, size);
  const Layout& layout = *choice.layout;
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  if (JpegInit(&p) != 0) return 0;
  p.state.dct_method = choice.dct_method;
  const int32_t from = choice.from_file ? READ_PARAMS_FILE : READ_PARAMS_BUFFER;
  if (choice.from_file) {
    p.jpeg_file = InputFile(bytes);
  } else {
    p.jpeg_buffer = bytes.data();
    p.jpeg_buffer_size = static_cast<uint32_t>(bytes.size());
  }
  const int32_t params_status = JpegRead(&p, from);
  setuvia::fuzz::CheckKnownStatus(params_status);
  if (params_status == 0 && uint64_t{p.jpeg_width} * p.jpeg_height <= kMaxPixels) {
    const uint32_t scale = choice.scale;
    const uint32_t full_width = (p.jpeg_width + scale - 1) / scale;
    const uint32_t full_height = (p.jpeg_height + scale - 1) / scale;
    const uint32_t width = layout.clipped ? (full_width + 1) / 2 : full_width;
    const uint32_t height = layout.clipped ? (full_height + 1) / 2 : full_height;
    const uint32_t channels = layout.channels != 0 ? layout.channels : p.jpeg_channels;
    const size_t stride = size_t{width} * channels + layout.pad;
    // Left uninitialised, so that a pixel the read reports written but did not write shows.
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[stride * height]);
    p.dib_pixels = pixels.get();
    p.dib_width = width;
    p.dib_height = layout.bottom_up ? -static_cast<int32_t>(height) : static_cast<int32_t>(height);
    p.dib_pad_bytes = layout.pad;
    p.dib_channels = channels;
    p.dib_color = layout.color;
    if (layout.color == COLOR_OTHER) p.jpeg_color = COLOR_OTHER;
    if (p.jpeg_channels == 1 && layout.color != COLOR_OTHER) p.jpeg_color = COLOR_GRAY;
    const int32_t status = JpegRead(&p, ImageMode(scale, choice.from_file));
    setuvia::fuzz::CheckKnownStatus(status);
    if (status == 0) {  // every pixel written; padding bytes never are
      for (uint32_t row = 0; row < height; ++row)
        setuvia::fuzz::ReadEveryByte(&pixels[row * stride], stride - layout.pad);
    }
  }
  setuvia::fuzz::ReadPublicOutputs(p);
  JpegFree(&p);
  return 0;
}
