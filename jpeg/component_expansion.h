// Expansion of decoded components into the channels of the caller's pixels, for any
// sampling factors. Pixel x of an MCU takes sample floor(x * H / Hmax) of its
// component (rows likewise), which is box replication for integer ratios and never
// leaves the component's blocks for the others (Hmax 3 with H 2, Hmax 4 with H 3).
// The channel rules live here too: which channel a component goes to, and what the
// channels without a component get.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/mcu_placement.h"
#include "jpeg/status.h"

namespace jpeg {

// The samples of one component available to a writer: blocks of 64 cells in raster
// order, of which the top-left block_size x block_size samples are used (8, or less
// after a reduced transform; rows are always 8 cells apart).
struct SamplePlane {
  const int16_t* blocks;
  int32_t blocks_across;
  int32_t block_size;
  int32_t h, v;                     // the component's sampling factors
  int32_t first_column, first_row;  // MCU sample coordinates of the first block's corner
};

// Writes the plane's samples into `channel` of the pixels of `rect` (MCU pixel
// coordinates; out is the MCU's top-left pixel). The caller keeps rect inside the
// pixels the plane covers; rect.right is at most 8 * h_max.
void ExpandIntoChannel(const SamplePlane& plane, int32_t h_max, int32_t v_max, const McuRect& rect,
                       uint8_t* out, int32_t channels, int32_t row_step, int32_t channel);

// The output channel of frame component i: i itself, or counted from the last channel
// down for RGB data into BGR order; -1 when the buffer has no channel for it.
int32_t ChannelOfComponent(const JpegState& state, int32_t component);

// Channels the image has no component for: a gray image repeats its sample into
// channels 1 and 2 and sets channel 3 and above to 255; an RGBA buffer gets 255 in
// channel 3. Runs after the components have been written.
void FillExtraChannels(const JpegState& state, const McuRect& rect, uint8_t* out);

// The sample planes of the interleaved MCU's components in the work buffer, in frame
// order; "Unsupported subsampling" when the MCU would not fit the work buffer.
Status PlanesOfMcu(const JpegState& state, const ReadGeometry& geometry,
                   SamplePlane (&planes)[JPEG_MAX_COMPONENTS]);

// Expands every component of the interleaved MCU into its channel.
// "Unsupported subsampling" when the MCU would not fit the work buffer.
Status ExpandMcu(const JpegState& state, const McuTarget& target);

}  // namespace jpeg
