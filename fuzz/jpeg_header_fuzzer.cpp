// Fuzzes the header reads from memory: a parameter read, then a tables-only read and
// a second parameter read on the same record, of arbitrary bytes. After each read the
// status must be a known code and every public output field and the comment it reports are read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_checks.h"
#include "jpeg/jpeg_codec.h"

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
    setuvia::fuzz::CheckKnownStatus(JpegRead(&p, mode));
    setuvia::fuzz::ReadPublicOutputs(p);
    setuvia::fuzz::ReadEveryByte(comment, std::min<size_t>(p.state.comment_size, sizeof comment));
  }
  JpegFree(&p);
  return 0;
}
