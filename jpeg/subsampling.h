// The subsampling code of a frame, from its component count and sampling factors.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

uint32_t SubsamplingCode(const JpegFrameHeader& frame);

}  // namespace jpeg
