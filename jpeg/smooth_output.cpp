// Smooth output. The delay store keeps, per component, three MCU rows of samples as
// bytes, each slot a whole row of the grid wide: the row being decoded, the one being
// written and the one above it, whose last sample row the written one still needs.
// MCUs arrive in raster order, so "all neighbours in" is one comparison: MCU i can be
// written once the raster index of its lower-right neighbour (right neighbour without
// the row delay) has been stored. Whatever the edges, the neighbours actually read
// have been stored and not yet overwritten: the next row's store reuses the slot of
// the row above the one being written only after that row is written whole.
#include "jpeg/smooth_output.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "jpeg/component_expansion.h"
#include "jpeg/generic_output.h"
#include "jpeg/mcu_placement.h"
#include "jpeg/read_modes.h"
#include "jpeg/smooth_filter.h"

namespace jpeg {
namespace {

constexpr int32_t kRowSlots = 3;

struct ComponentStrips {
  uint8_t* samples;
  int32_t stride;            // sample columns of a slot: the grid's MCUs times `columns`
  int32_t columns, rows;     // samples of one MCU: 8 h x 8 v
  int32_t width, height;     // the component's samples inside the image (T.81 A.1.1)
  int32_t ratio_h, ratio_v;  // output pixels per sample: 1 or 2
};

struct DelayStore {
  size_t capacity;  // sample bytes after the header
  int32_t component_count;
  int32_t across, down;
  bool delay_row;
  int64_t stored, written;  // MCUs so far, in raster order
  ComponentStrips strips[JPEG_MAX_COMPONENTS];
};

int32_t CeilDiv(int64_t a, int64_t b) {
  return static_cast<int32_t>((a + b - 1) / b);
}

uint8_t* SampleRow(const ComponentStrips& s, int32_t row) {
  const int32_t slot = row / s.rows % kRowSlots;
  return s.samples + (static_cast<ptrdiff_t>(slot) * s.rows + row % s.rows) * s.stride;
}

void StoreMcu(DelayStore& store, const ReadGeometry& g, const int16_t* block, int32_t mcu_column,
              int32_t mcu_row) {
  for (int32_t i = 0; i < store.component_count; ++i) {
    const ComponentStrips& s = store.strips[i];
    for (int32_t v = 0; v < g.components[i].v; ++v)
      for (int32_t h = 0; h < g.components[i].h; ++h, block += 64)
        for (int32_t r = 0; r < 8; ++r) {
          uint8_t* row =
              SampleRow(s, mcu_row * s.rows + 8 * v + r) + mcu_column * s.columns + 8 * h;
          for (int32_t c = 0; c < 8; ++c) row[c] = static_cast<uint8_t>(block[8 * r + c]);
        }
  }
}

SmoothKind KindOf(const ComponentStrips& s) {
  if (s.ratio_h == 1) return SmoothKind::kCopy;
  return s.ratio_v == 2 ? SmoothKind::kBoth : SmoothKind::kHorizontal;
}

// Writes one component of MCU (a, b). Neighbours in the MCUs to the right and below
// are taken only when they are in; otherwise the MCU's own edge stands in.
void WriteComponent(const ComponentStrips& s, const McuTarget& target, int32_t a, int32_t b,
                    bool right_in, bool below_in, int32_t channel, const JpegState& state) {
  const ReadGeometry& g = *target.geometry;
  const McuRect& v = target.placement.visible;
  const auto channels = static_cast<int32_t>(state.dib_channels);
  const int32_t last_column = std::min(s.width, (a + (right_in ? 2 : 1)) * s.columns) - 1;
  const int32_t last_row = std::min(s.height, (b + (below_in ? 2 : 1)) * s.rows) - 1;
  const int32_t x0 = a * g.mcu_width, y0 = b * g.mcu_height;
  for (int32_t y = v.top; y < v.bottom; ++y) {
    const int32_t image_y = y0 + y, row = image_y / s.ratio_v;
    const int32_t far = (image_y & 1) != 0 ? std::min(row + 1, last_row) : std::max(row - 1, 0);
    const SmoothRowSource source{KindOf(s), SampleRow(s, row), SampleRow(s, far), last_column};
    uint8_t* out = target.placement.out + static_cast<ptrdiff_t>(y) * state.row_stride +
                   v.left * channels + channel;
    SmoothUpsampleRow(source, x0 + v.left, x0 + v.right, out, channels);
  }
}

void WriteMcu(JPEG_PROPERTIES& properties, const DelayStore& store, const ReadGeometry& g,
              int64_t index, bool right_in, bool below_in) {
  const JpegState& state = properties.state;
  const auto a = static_cast<int32_t>(index % store.across);
  const auto b = static_cast<int32_t>(index / store.across);
  McuTarget target;
  if (!TargetMcu(g, a, b, target).ok() || IsEmpty(target.placement.visible)) return;
  for (int32_t i = 0; i < store.component_count; ++i) {
    const int32_t channel = ChannelOfComponent(state, i);
    if (channel >= 0)
      WriteComponent(store.strips[i], target, a, b, right_in, below_in, channel, state);
  }
  FillExtraChannels(state, target.placement.visible, target.placement.out);
  if (state.color_convert_flag == 1)
    ConvertPixelsInPlace(state, target.placement.visible, target.placement.out);
}

// The raster index of the last MCU that MCU `index` takes samples from.
int64_t LastNeighbour(const DelayStore& s, int64_t index) {
  const int64_t a = index % s.across, b = index / s.across;
  const int64_t row = s.delay_row ? std::min<int64_t>(b + 1, s.down - 1) : b;
  return row * s.across + std::min<int64_t>(a + 1, s.across - 1);
}

}  // namespace

bool SmoothUpsamplingApplies(const JpegState& state) {
  const JpegFrameHeader& frame = state.frame;
  return state.smooth_upsampling != 0 && state.upsample_flag != 0 && frame.component_count > 1 &&
         frame.h_max == 2 && frame.v_max <= 2;
}

bool SmoothUpsamplingRefused(const JpegState& state, int32_t mode) {
  return state.smooth_upsampling != 0 && IsImageMode(mode) && !IsThumbnailMode(mode) &&
         (ReadScale(mode) > 1 || RoiFieldsSet(state) || state.interrupt_flag != 0);
}

Status StartSmoothOutput(JpegState& state, const ReadGeometry& g) {
  DelayStore layout{};
  layout.component_count = g.component_count;
  layout.across = g.mcus_across;
  layout.down = g.mcus_down;
  layout.delay_row = g.v_max == 2;
  size_t bytes = 0;
  int32_t blocks = 0;
  for (int32_t i = 0; i < g.component_count; ++i) {
    const ComponentGeometry& c = g.components[i];
    ComponentStrips& s = layout.strips[i];
    s.columns = 8 * c.h;
    s.rows = 8 * c.v;
    s.stride = g.mcus_across * s.columns;
    s.width = CeilDiv(int64_t{state.frame.width} * c.h, g.h_max);
    s.height = CeilDiv(int64_t{state.frame.height} * c.v, g.v_max);
    s.ratio_h = g.h_max / c.h;
    s.ratio_v = g.v_max / c.v;
    bytes += size_t{kRowSlots} * static_cast<size_t>(s.rows) * static_cast<size_t>(s.stride);
    blocks += c.h * c.v;
  }
  if (blocks > JPEG_MCU_BLOCKS) return JPEG_ERR_SUBSAMPLING;  // the sink refuses such frames first
  auto* store = static_cast<DelayStore*>(state.delay_buffers);
  if (store == nullptr || store->capacity < bytes) {
    std::free(state.delay_buffers);
    // Zero-filled once, so that no sample byte is ever read uninitialised.
    state.delay_buffers = std::calloc(1, sizeof(DelayStore) + bytes);
    if (state.delay_buffers == nullptr) return JPEG_ERR_MEMORY;
    store = static_cast<DelayStore*>(state.delay_buffers);
    store->capacity = bytes;
  }
  layout.capacity = store->capacity;
  auto* samples = reinterpret_cast<uint8_t*>(store + 1);
  for (int32_t i = 0; i < g.component_count; ++i) {
    layout.strips[i].samples = samples;
    samples += size_t{kRowSlots} * static_cast<size_t>(layout.strips[i].rows) *
               static_cast<size_t>(layout.strips[i].stride);
  }
  *store = layout;
  return JPEG_SUCCESS;
}

Status SmoothOutputMcu(JPEG_PROPERTIES& properties, const ReadGeometry& geometry,
                       int32_t mcu_column, int32_t mcu_row) {
  auto* store = static_cast<DelayStore*>(properties.state.delay_buffers);
  if (store == nullptr || int64_t{mcu_row} * store->across + mcu_column != store->stored)
    return JPEG_ERR_INTERNAL;  // the scan drivers give smooth reads every MCU in order
  StoreMcu(*store, geometry, properties.state.mcu_work_buffer, mcu_column, mcu_row);
  ++store->stored;
  for (; store->written < store->stored && LastNeighbour(*store, store->written) < store->stored;
       ++store->written)
    WriteMcu(properties, *store, geometry, store->written, true, true);
  return JPEG_SUCCESS;
}

void FlushSmoothOutput(JPEG_PROPERTIES& properties, const ReadGeometry& geometry) {
  auto* store = static_cast<DelayStore*>(properties.state.delay_buffers);
  if (store == nullptr) return;
  for (; store->written < store->stored; ++store->written) {
    const int64_t index = store->written;
    WriteMcu(properties, *store, geometry, index, index + 1 < store->stored,
             LastNeighbour(*store, index) < store->stored);
  }
}

}  // namespace jpeg
