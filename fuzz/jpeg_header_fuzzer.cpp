// Fuzzes the header reads from memory: a parameter read, then a tables-only read and
// a second parameter read on the same record, of arbitrary bytes. Every public output
// field is read afterwards so that the sanitizers see uninitialised values.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "jpeg/jpeg_codec.h"

namespace {

volatile uint32_t g_sink;

void TouchOutputs(const JPEG_PROPERTIES& p) {
  g_sink = p.jpeg_width ^ p.jpeg_height ^ p.jpeg_channels ^ p.jpeg_color ^ p.jpeg_subsampling ^
           p.thumb_width ^ p.thumb_height ^ p.dib_color ^ p.dib_channels ^ p.color_convert_flag ^
           p.upsample_flag;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that any read beyond the caller's bytes is caught.
  std::vector<uint8_t> bytes(data, data + size);
  uint8_t comment[16];
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  if (JpegInit(&p) != 0) return 0;
  p.jpeg_buffer = bytes.data();
  p.jpeg_buffer_size = static_cast<uint32_t>(bytes.size());
  p.state.comment_buffer = comment;
  p.state.comment_size = sizeof comment;
  for (int32_t mode : {READ_PARAMS_BUFFER, READ_TABLES_BUFFER, READ_PARAMS_BUFFER}) {
    const int32_t status = JpegRead(&p, mode);
    if (JpegErrorText(status) == nullptr) __builtin_trap();
    TouchOutputs(p);
  }
  JpegFree(&p);
  return 0;
}
