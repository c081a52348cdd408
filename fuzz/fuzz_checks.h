// What every fuzz target asserts after a read: the status is one of the codec's own codes,
// and every output byte is read, so that the sanitizers report any that was left uninitialised.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "jpeg/jpeg_codec.h"

namespace setuvia::fuzz {

// JpegErrorText gives one fixed text for every code outside its table.
inline void CheckKnownStatus(int32_t status) {
  static const char* const unknown = JpegErrorText(INT32_MIN);
  if (std::strcmp(JpegErrorText(status), unknown) == 0) __builtin_trap();
}

inline volatile uint32_t g_sink;

inline void ReadEveryByte(const uint8_t* bytes, size_t size) {
  uint32_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += bytes[i];
  g_sink = g_sink + sum;
}

// The public fields a read fills, read as the caller would read them.
inline void ReadPublicOutputs(const JPEG_PROPERTIES& p) {
  const uint32_t fields[] = {p.jpeg_width,         p.jpeg_height,      p.jpeg_channels,
                             p.jpeg_color,         p.jpeg_subsampling, p.thumb_width,
                             p.thumb_height,       p.dib_color,        p.dib_channels,
                             p.color_convert_flag, p.upsample_flag};
  ReadEveryByte(reinterpret_cast<const uint8_t*>(fields), sizeof fields);
}

}  // namespace setuvia::fuzz
