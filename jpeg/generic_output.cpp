// Generic output. A block of a non-interleaved image is written through the geometry
// of the interleaved MCU that holds it: the MCU is placed as usual and the block
// covers the pixels whose samples (floor(x * H / Hmax)) fall into it, so the two
// layouts give the same pixels for every sampling, integer ratio or not.
//
// The YCbCr writer for two-channel buffers packs like the 4:2:2 packing: Y into
// channel 0 of every pixel, Cb into channel 1 of even pixels and Cr into channel 1
// of odd ones, each chroma byte the rounded mean (a + b + 1) >> 1 of the chroma
// samples of the pixel pair. For the Y 2x1 frames that YCbCr output accepts both
// pixels take the same sample, so the bytes equal those of the packing path.
#include "jpeg/generic_output.h"

#include <algorithm>
#include <cstddef>

#include "jpeg/component_expansion.h"

namespace jpeg {
namespace {

uint8_t Clamp255(int32_t value) {
  return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

int32_t CeilDiv(int32_t a, int32_t b) {
  return (a + b - 1) / b;
}

// Where one block of a non-interleaved image lands.
struct BlockSpan {
  McuPlacement placement;
  McuRect rect;      // visible pixels of the block, in MCU coordinates
  int32_t from, to;  // the block's pixel columns in the MCU, visible or not
  SamplePlane plane;
  int32_t h_max, v_max;
};

BlockSpan SpanOf(const JpegState& state, const McuTarget& target) {
  BlockSpan span;
  const ReadGeometry& g = *target.geometry;
  const ComponentGeometry& c = g.components[target.component];
  const int32_t h = c.sample_h, v = c.sample_v, size = c.block_size;
  const int32_t h_max = g.h_max, v_max = g.v_max;
  span.h_max = h_max;
  span.v_max = v_max;
  span.placement = target.placement;
  const int32_t k = target.block_column % c.h, j = target.block_row % c.v;
  span.from = CeilDiv(size * k * h_max, h);
  span.to = CeilDiv(size * (k + 1) * h_max, h);
  const McuRect& visible = span.placement.visible;
  span.rect = {std::max(visible.left, span.from),
               std::max(visible.top, CeilDiv(size * j * v_max, v)),
               std::min(visible.right, span.to),
               std::min(visible.bottom, CeilDiv(size * (j + 1) * v_max, v))};
  span.plane = {state.mcu_work_buffer, 1, size, h, v, size * k, size * j};
  return span;
}

// Cb (parity 0) into channel 1 of the even pixels of the block, Cr (parity 1) into
// the odd ones; a pair whose other pixel lies in the next block uses its own sample.
void PackChroma(const BlockSpan& span, int32_t parity, int32_t row_step) {
  const SamplePlane& plane = span.plane;
  const int32_t h_max = span.h_max, v_max = span.v_max;
  auto sample_at = [&](const int16_t* row, int32_t x) {
    return int32_t{row[x * plane.h / h_max - plane.first_column]};
  };
  for (int32_t y = span.rect.top; y < span.rect.bottom; ++y) {
    const int16_t* row = plane.blocks + (y * plane.v / v_max - plane.first_row) * 8;
    uint8_t* out = span.placement.out + static_cast<ptrdiff_t>(y) * row_step;
    for (int32_t x = span.rect.left; x < span.rect.right; ++x) {
      if ((x & 1) != parity) continue;
      const int32_t even = x & ~1, odd = even + 1;
      const int32_t a = sample_at(row, even >= span.from ? even : x);
      const int32_t b = sample_at(row, odd < span.to ? odd : x);
      out[2 * x + 1] = static_cast<uint8_t>((a + b + 1) >> 1);
    }
  }
}

}  // namespace

int32_t WriteGenericMcu(JPEG_PROPERTIES* properties, const McuTarget& target) {
  const JpegState& state = properties->state;
  const Status status = ExpandMcu(state, target);
  if (status.ok() && state.color_convert_flag == 1)
    ConvertPixelsInPlace(state, target.placement.visible, target.placement.out);
  return status.code();
}

int32_t WriteNonInterleavedBlock(JPEG_PROPERTIES* properties, const McuTarget& target) {
  const JpegState& state = properties->state;
  const BlockSpan span = SpanOf(state, target);
  if (IsEmpty(span.rect)) return JPEG_SUCCESS;
  const int32_t channel = ChannelOfComponent(state, target.component);
  if (channel >= 0)
    ExpandIntoChannel(span.plane, span.h_max, span.v_max, span.rect, span.placement.out,
                      static_cast<int32_t>(state.dib_channels), state.row_stride, channel);
  // Every pixel lies in exactly one block of the first component.
  if (target.component == 0) FillExtraChannels(state, span.rect, span.placement.out);
  return JPEG_SUCCESS;
}

int32_t WriteNonInterleavedYccBlock(JPEG_PROPERTIES* properties, const McuTarget& target) {
  const JpegState& state = properties->state;
  if (state.dib_channels != 2) return WriteNonInterleavedBlock(properties, target);
  const BlockSpan span = SpanOf(state, target);
  if (IsEmpty(span.rect)) return JPEG_SUCCESS;
  if (target.component == 0)
    ExpandIntoChannel(span.plane, span.h_max, span.v_max, span.rect, span.placement.out, 2,
                      state.row_stride, 0);
  else if (target.component <= 2)
    PackChroma(span, target.component - 1, state.row_stride);
  return JPEG_SUCCESS;
}

void ConvertPixelsInPlace(const JpegState& state, const McuRect& rect, uint8_t* out) {
  const int32_t channels = static_cast<int32_t>(state.dib_channels);
  if (channels < 3) return;
  const bool bgr = state.dib_color == COLOR_BGR;
  const bool inverted = state.jpeg_color == COLOR_YCBCRA;
  const int32_t red = bgr ? 2 : 0, blue = bgr ? 0 : 2;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    uint8_t* row = out + static_cast<ptrdiff_t>(y) * state.row_stride;
    for (int32_t x = rect.left; x < rect.right; ++x) {
      uint8_t* p = row + x * channels;
      const int32_t luma = p[0], cb = p[1], cr = p[2];
      const uint8_t r = Clamp255(luma + ((359 * cr - 45813) >> 8));
      const uint8_t g = Clamp255(luma + ((34806 - 88 * cb - 183 * cr) >> 8));
      const uint8_t b = Clamp255(luma + ((454 * cb - 57937) >> 8));
      p[red] = inverted ? static_cast<uint8_t>(255 - r) : r;
      p[1] = inverted ? static_cast<uint8_t>(255 - g) : g;
      p[blue] = inverted ? static_cast<uint8_t>(255 - b) : b;
    }
  }
}

void FillComponentChannelsMidLevel(JPEG_PROPERTIES& properties) {
  const JpegState& state = properties.state;
  const OutputWindow window = ComputeReadGeometry(state).window;
  const McuRect& v = window.visible;
  const int32_t filled = std::min(window.channels, state.frame.component_count);
  for (int32_t y = 0; y < v.bottom - v.top; ++y) {
    uint8_t* row = window.pixels + static_cast<ptrdiff_t>(y) * window.row_step;
    for (int32_t x = 0; x < v.right - v.left; ++x)
      std::fill_n(row + x * window.channels, filled, uint8_t{128});
  }
}

void ConvertImageInPlace(JPEG_PROPERTIES& properties) {
  const JpegState& state = properties.state;
  if (state.color_convert_flag != 1) return;
  if (state.dib_color != COLOR_RGB && state.dib_color != COLOR_BGR && state.dib_color != COLOR_RGBA)
    return;
  // Every pixel the read wrote, relative to buffer pixel (0, 0).
  const OutputWindow window = ComputeReadGeometry(state).window;
  const McuRect& v = window.visible;
  ConvertPixelsInPlace(state, {0, 0, v.right - v.left, v.bottom - v.top}, window.pixels);
}

}  // namespace jpeg
