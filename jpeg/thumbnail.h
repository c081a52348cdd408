// Thumbnail reads: the pictures an APP0 segment may carry, written into the caller's
// bitmap (row r at output_start + r * row_stride, three bytes a pixel in RGB or BGR
// order as dib_color asks). JFIF and JFXX 0x13 hold RGB triples, JFXX 0x11 palette
// indices into 256 RGB triples, and JFXX 0x10 a whole JPEG stream, which the codec
// decodes on a record of its own.
#pragma once

#include <cstdint>

#include "jpeg/input_stream.h"
#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Delivers the thumbnail of a JFIF or JFXX payload (identifier included), if it has one:
// sets thumb_width, thumb_height and thumbnail_written. "Thumbnail too small" (-26) when
// the caller's bitmap cannot hold it, "Data error" (-21) when the payload is shorter than
// the picture it announces; a JPEG-coded thumbnail passes on its own read's error.
[[nodiscard]] int32_t DeliverThumbnail(JpegState& state, const SegmentBody& body);

}  // namespace jpeg
