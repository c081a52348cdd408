// Facts about the read modes that several stages ask: which source a mode reads,
// whether it decodes pixels, and at which scale.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

inline bool IsReadMode(int32_t mode) {
  return (mode >= 0 && mode <= 7) || (mode >= 14 && mode <= 21);
}
inline bool IsEncoderMode(int32_t mode) {
  return mode >= 8 && mode <= 13;
}
inline bool IsFileMode(int32_t mode) {
  return mode % 2 == 0;
}
// Modes that deliver pixels (or coefficients) into the caller's buffer.
inline bool IsImageMode(int32_t mode) {
  return mode == 2 || mode == 3 || mode == 6 || mode == 7 || (mode >= 14 && mode <= 21);
}
inline bool IsParamsMode(int32_t mode) {
  return mode == READ_PARAMS_FILE || mode == READ_PARAMS_BUFFER;
}
inline bool IsTablesMode(int32_t mode) {
  return mode == READ_TABLES_FILE || mode == READ_TABLES_BUFFER;
}
inline bool IsEntropyMode(int32_t mode) {
  return mode == READ_ENTROPY_FILE || mode == READ_ENTROPY_BUFFER;
}
inline bool IsThumbnailMode(int32_t mode) {
  return mode == READ_THUMBNAIL_FILE || mode == READ_THUMBNAIL_BUFFER;
}
// Parameters, tables-only and thumbnail reads: they look for a frame header, must
// start at SOI, and stop at the first SOS.
inline bool IsHeaderMode(int32_t mode) {
  return IsParamsMode(mode) || IsTablesMode(mode) || IsThumbnailMode(mode);
}
// The scale denominator of a decoding read: 2, 4 or 8 for the reduced modes, else 1.
inline int32_t ReadScale(int32_t mode) {
  switch (mode) {
    case READ_HALF_FILE:
    case READ_HALF_BUFFER:
      return 2;
    case READ_QUARTER_FILE:
    case READ_QUARTER_BUFFER:
      return 4;
    case READ_EIGHTH_FILE:
    case READ_EIGHTH_BUFFER:
      return 8;
    default:
      return 1;
  }
}

}  // namespace jpeg
