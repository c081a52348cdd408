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
//
// Reduced reads of 4:4:4, 4:2:2 and 4:2:0 YCbCr into RGB or BGR take a one-pass writer:
// expansion and conversion fused, the same bytes.
#include "jpeg/generic_output.h"

#include <algorithm>
#include <bit>
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

// The in-place conversion of one pixel (channels B, G, R for BGR buffers, else R, G, B).
struct RgbPixel {
  uint8_t r, g, b;
};
inline RgbPixel YccToRgb(int32_t luma, int32_t cb, int32_t cr) {
  return {Clamp255(luma + ((359 * cr - 45813) >> 8)),
          Clamp255(luma + ((34806 - 88 * cb - 183 * cr) >> 8)),
          Clamp255(luma + ((454 * cb - 57937) >> 8))};
}

// The common reduced reads: YCbCr into three-channel RGB or BGR from a luma with one
// sample per pixel and chroma with one per pixel (4:4:4, and 4:2:0 whose 1x1 components the
// reduced read gives the larger transform) or one per two pixels across (4:2:2). Each
// pixel gathers its three samples and is converted at once, instead of one expansion pass
// per component and a conversion pass over the MCU's pixels; the bytes are the same.
// Returns the chroma's horizontal shift (0 or 1), or -1 for any other read.
int32_t OnePassChromaShift(const JpegState& state, const ReadGeometry& g) {
  if (g.component_count != 3 || state.dib_channels != 3 || state.color_convert_flag != 1 ||
      state.jpeg_color != COLOR_YCBCR ||
      (state.dib_color != COLOR_RGB && state.dib_color != COLOR_BGR))
    return -1;
  const ComponentGeometry *c = g.components, &luma = c[0];
  if (luma.sample_h != g.h_max || luma.sample_v != g.v_max) return -1;
  for (int32_t i = 1; i < 3; ++i)
    if (c[i].sample_v != g.v_max || c[i].sample_h != c[1].sample_h) return -1;
  return c[1].sample_h == g.h_max ? 0 : 2 * c[1].sample_h == g.h_max ? 1 : -1;
}

// Sample rows of a plane whose rows have one sample per pixel row. Block sizes are powers
// of two, so shifts and masks replace the divisions of the general expansion, and within
// a run of pixels that stays inside one block of every plane the samples lie side by side.
struct PixelSamples {
  const int16_t* blocks;
  int32_t shift, mask, block_row_cells;

  explicit PixelSamples(const SamplePlane& plane)
      : blocks(plane.blocks),
        shift(std::countr_zero(static_cast<uint32_t>(plane.block_size))),
        mask(plane.block_size - 1),
        block_row_cells(64 * plane.blocks_across) {}
  const int16_t* Row(int32_t y) const {
    return blocks + (y >> shift) * block_row_cells + (y & mask) * 8;
  }
  const int16_t* At(const int16_t* row, int32_t sample) const {
    return row + (sample >> shift) * 64 + (sample & mask);
  }
};

// Pixels first .. first + count - 1 of a run; chroma sample k serves pixels k << kShift on.
template <int kShift>
void ConvertRun(const int16_t* luma, const int16_t* cb, const int16_t* cr, int32_t first,
                int32_t count, uint8_t* p, int32_t red, int32_t blue) {
  for (int32_t k = 0; k < count; ++k, p += 3) {
    const int32_t c = ((first + k) >> kShift) - (first >> kShift);
    const RgbPixel rgb = YccToRgb(static_cast<uint8_t>(luma[k]), static_cast<uint8_t>(cb[c]),
                                  static_cast<uint8_t>(cr[c]));
    p[red] = rgb.r;
    p[1] = rgb.g;
    p[blue] = rgb.b;
  }
}

template <int kShift>
Status WriteYccMcu(const JpegState& state, const McuTarget& target) {
  const McuRect& rect = target.placement.visible;
  if (IsEmpty(rect)) return JPEG_SUCCESS;
  SamplePlane planes[JPEG_MAX_COMPONENTS];
  const Status status = PlanesOfMcu(state, *target.geometry, planes);
  if (!status.ok()) return status;
  const PixelSamples luma(planes[0]), cb(planes[1]), cr(planes[2]);
  const int32_t run = std::min(planes[0].block_size, planes[1].block_size << kShift);
  const bool bgr = state.dib_color == COLOR_BGR;
  const int32_t red = bgr ? 2 : 0, blue = bgr ? 0 : 2;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    const int16_t *luma_row = luma.Row(y), *cb_row = cb.Row(y), *cr_row = cr.Row(y);
    uint8_t* out = target.placement.out + static_cast<ptrdiff_t>(y) * state.row_stride;
    for (int32_t x = rect.left; x < rect.right;) {
      const int32_t end = std::min(rect.right, (x | (run - 1)) + 1);
      ConvertRun<kShift>(luma.At(luma_row, x), cb.At(cb_row, x >> kShift),
                         cr.At(cr_row, x >> kShift), x, end - x, out + x * 3, red, blue);
      x = end;
    }
  }
  return JPEG_SUCCESS;
}

}  // namespace

int32_t WriteGenericMcu(JPEG_PROPERTIES* properties, const McuTarget& target) {
  const JpegState& state = properties->state;
  switch (OnePassChromaShift(state, *target.geometry)) {
    case 0:
      return WriteYccMcu<0>(state, target).code();
    case 1:
      return WriteYccMcu<1>(state, target).code();
    default:
      break;
  }
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
      const RgbPixel rgb = YccToRgb(p[0], p[1], p[2]);
      p[red] = inverted ? static_cast<uint8_t>(255 - rgb.r) : rgb.r;
      p[1] = inverted ? static_cast<uint8_t>(255 - rgb.g) : rgb.g;
      p[blue] = inverted ? static_cast<uint8_t>(255 - rgb.b) : rgb.b;
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
