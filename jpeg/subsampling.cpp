// Subsampling codes: the arrangements the codec has names for; every other one is
// SUBSAMPLING_OTHER.
#include "jpeg/subsampling.h"

namespace jpeg {
namespace {

bool Is(const JpegFrameComponent& c, int32_t h, int32_t v) {
  return c.h == h && c.v == v;
}

bool AllOneByOne(const JpegFrameHeader& frame) {
  for (int i = 0; i < frame.component_count; ++i)
    if (!Is(frame.components[i], 1, 1)) return false;
  return true;
}

}  // namespace

uint32_t SubsamplingCode(const JpegFrameHeader& frame) {
  const JpegFrameComponent* c = frame.components;
  switch (frame.component_count) {
    case 1:
      return SUBSAMPLING_NONE;
    case 2:
      return AllOneByOne(frame) ? SUBSAMPLING_NONE : SUBSAMPLING_OTHER;
    case 3:
      if (AllOneByOne(frame)) return SUBSAMPLING_NONE;
      if (!Is(c[1], 1, 1) || !Is(c[2], 1, 1)) return SUBSAMPLING_OTHER;
      if (Is(c[0], 2, 2)) return SUBSAMPLING_H2V2;
      return Is(c[0], 2, 1) ? SUBSAMPLING_H2V1 : SUBSAMPLING_OTHER;
    case 4:
      if (AllOneByOne(frame)) return SUBSAMPLING_NONE;
      if (!Is(c[1], 1, 1) || !Is(c[2], 1, 1) || c[0].h != c[3].h || c[0].v != c[3].v)
        return SUBSAMPLING_OTHER;
      if (Is(c[0], 2, 2)) return SUBSAMPLING_H2V2_4CH;
      return Is(c[0], 2, 1) ? SUBSAMPLING_H2V1_4CH : SUBSAMPLING_OTHER;
    default:
      return SUBSAMPLING_OTHER;
  }
}

}  // namespace jpeg
