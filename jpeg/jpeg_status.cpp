// Status texts and the version record. The texts come from the same table as the
// status codes in jpeg_codec.h, so the two cannot drift apart.
#include "jpeg/jpeg_codec.h"

#define JPEG_STRINGIFY_INNER(x) #x
#define JPEG_STRINGIFY(x) JPEG_STRINGIFY_INNER(x)
#define JPEG_VERSION_TEXT                  \
  JPEG_STRINGIFY(JPEG_CODEC_VERSION_MAJOR) \
  "." JPEG_STRINGIFY(JPEG_CODEC_VERSION_MINOR) "." JPEG_STRINGIFY(JPEG_CODEC_VERSION_BUILD)

namespace {

const JpegVersionInfo kVersionInfo = {
    JPEG_CODEC_VERSION_MAJOR,
    JPEG_CODEC_VERSION_MINOR,
    JPEG_CODEC_VERSION_BUILD,
    "jpegcodec",
    JPEG_VERSION_TEXT,
    "[" JPEG_VERSION_TEXT ".0]",
    __DATE__,
#if defined(__clang__)
    "clang " __clang_version__,
#elif defined(__GNUC__)
    "gcc " JPEG_STRINGIFY(__GNUC__) "." JPEG_STRINGIFY(__GNUC_MINOR__) "." JPEG_STRINGIFY(
        __GNUC_PATCHLEVEL__),
#else
    "unknown compiler",
#endif
};

}  // namespace

extern "C" const char* JpegErrorText(int32_t code) {
  switch (code) {
#define JPEG_STATUS_TEXT_CASE(name, value, text) \
  case value:                                    \
    return text;
    JPEG_STATUS_TABLE(JPEG_STATUS_TEXT_CASE)
#undef JPEG_STATUS_TEXT_CASE
    default:
      return "Unknown error code";
  }
}

extern "C" const JpegVersionInfo* JpegGetVersionInfo(void) {
  return &kVersionInfo;
}
