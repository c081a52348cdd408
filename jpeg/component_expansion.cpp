// Component expansion: a column table per call maps each visible pixel to the cell of
// its sample, so the inner loop is one load and one store per pixel whatever the
// sampling. Nothing is allocated; an MCU is at most 32 pixels wide.
#include "jpeg/component_expansion.h"

#include <cstddef>

namespace jpeg {
namespace {

constexpr int32_t kMaxMcuEdge = 8 * 4;  // 8 * the largest sampling factor of T.81

uint8_t* PixelRow(uint8_t* out, int32_t y, int32_t row_step) {
  return out + static_cast<ptrdiff_t>(y) * row_step;
}

// Cell offset, within the plane, of the sample that MCU coordinate p takes.
int32_t SampleCell(int32_t p, int32_t factor, int32_t max, int32_t first, int32_t block_size,
                   int32_t block_cells) {
  const int32_t sample = p * factor / max - first;
  return sample / block_size * block_cells + sample % block_size;
}

}  // namespace

void ExpandIntoChannel(const SamplePlane& plane, int32_t h_max, int32_t v_max, const McuRect& rect,
                       uint8_t* out, int32_t channels, int32_t row_step, int32_t channel) {
  int32_t column_cells[kMaxMcuEdge];
  for (int32_t x = rect.left; x < rect.right; ++x)
    column_cells[x] = SampleCell(x, plane.h, h_max, plane.first_column, plane.block_size, 64);
  const int32_t block_row_cells = 64 * plane.blocks_across;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    const int32_t sample_row = y * plane.v / v_max - plane.first_row;
    const int16_t* samples = plane.blocks + sample_row / plane.block_size * block_row_cells +
                             sample_row % plane.block_size * 8;
    uint8_t* pixel = PixelRow(out, y, row_step) + channel;
    for (int32_t x = rect.left; x < rect.right; ++x)
      pixel[x * channels] = static_cast<uint8_t>(samples[column_cells[x]]);
  }
}

int32_t ChannelOfComponent(const JpegState& state, int32_t component) {
  const int32_t channels = static_cast<int32_t>(state.dib_channels);
  const int32_t filled =
      state.frame.component_count < channels ? state.frame.component_count : channels;
  if (component >= filled) return -1;
  const bool reversed = state.dib_color == COLOR_BGR && state.jpeg_color == COLOR_RGB;
  return reversed ? filled - 1 - component : component;
}

void FillExtraChannels(const JpegState& state, const McuRect& rect, uint8_t* out) {
  const int32_t channels = static_cast<int32_t>(state.dib_channels);
  const int32_t first = state.frame.component_count;
  const bool gray = state.jpeg_color == COLOR_GRAY;
  const bool alpha = state.dib_color == COLOR_RGBA && first <= 3 && channels >= 4;
  if (first >= channels || (!gray && !alpha)) return;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    uint8_t* row = PixelRow(out, y, state.row_stride);
    for (int32_t x = rect.left; x < rect.right; ++x) {
      uint8_t* pixel = row + x * channels;
      for (int32_t c = first; c < channels; ++c) {
        if (gray)
          pixel[c] = c < 3 ? pixel[c - 1] : 255;
        else if (c == 3)
          pixel[c] = 255;
      }
    }
  }
}

Status PlanesOfMcu(const JpegState& state, const ReadGeometry& geometry,
                   SamplePlane (&planes)[JPEG_MAX_COMPONENTS]) {
  const int16_t* blocks = state.mcu_work_buffer;
  const int16_t* const end = state.mcu_work_buffer + JPEG_MCU_BLOCKS * 64;
  for (int32_t i = 0; i < geometry.component_count; ++i) {
    const ComponentGeometry& c = geometry.components[i];
    planes[i] = {blocks, c.h, c.block_size, c.sample_h, c.sample_v, 0, 0};
    blocks += 64 * c.h * c.v;
    if (blocks > end) return JPEG_ERR_SUBSAMPLING;  // the sink refuses such frames first
  }
  return JPEG_SUCCESS;
}

Status ExpandMcu(const JpegState& state, const McuTarget& target) {
  const McuPlacement& placement = target.placement;
  if (IsEmpty(placement.visible)) return JPEG_SUCCESS;
  const ReadGeometry& g = *target.geometry;
  SamplePlane planes[JPEG_MAX_COMPONENTS];
  const Status status = PlanesOfMcu(state, g, planes);
  if (!status.ok()) return status;
  const int32_t channels = static_cast<int32_t>(state.dib_channels);
  for (int32_t i = 0; i < g.component_count; ++i) {
    const int32_t channel = ChannelOfComponent(state, i);
    if (channel >= 0)
      ExpandIntoChannel(planes[i], g.h_max, g.v_max, placement.visible, placement.out, channels,
                        state.row_stride, channel);
  }
  FillExtraChannels(state, placement.visible, placement.out);
  return JPEG_SUCCESS;
}

}  // namespace jpeg
