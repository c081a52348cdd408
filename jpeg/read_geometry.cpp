// Read geometry. All sizes come from the frame's 32-bit extents in 64-bit arithmetic,
// so no frame the marker parser accepts overflows them.
#include "jpeg/read_geometry.h"

#include <algorithm>
#include <cstdlib>

#include "jpeg/coefficient_output.h"
#include "jpeg/idct.h"
#include "jpeg/read_modes.h"

namespace jpeg {
namespace {

int32_t CeilDiv(int64_t a, int64_t b) {
  return static_cast<int32_t>((a + b - 1) / b);
}

bool HasSquareSampling(const JpegFrameHeader& frame, int32_t h_max, int32_t v_max) {
  if (h_max == 1 && v_max == 1) return false;
  for (int32_t i = 0; i < frame.component_count; ++i) {
    const JpegFrameComponent& c = frame.components[i];
    if (c.h != c.v || c.h > 2) return false;
  }
  return true;
}

int32_t Clamp32(int64_t value) {
  return static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
}

// The extents of the image as the read delivers it: the frame's divided by the read's
// scale, rounded up. Regions are given in these pixels.
struct ReadExtent {
  int32_t width, height;
};
ReadExtent ExtentOfRead(const JpegState& state) {
  const auto scale = static_cast<uint32_t>(ReadScale(state.io_mode));
  return {static_cast<int32_t>(JpegScaledExtent(state.frame.width, scale)),
          static_cast<int32_t>(JpegScaledExtent(state.frame.height, scale))};
}

OutputWindow WindowOf(const JpegState& state) {
  const auto [width, height] = ExtentOfRead(state);
  McuRect image{0, 0, width, height};
  const bool region = IsRegionRead(state);
  if (region) {
    const int32_t* r = state.roi_rect;
    image = {std::clamp(r[0], 0, width), std::clamp(r[1], 0, height),
             r[2] > 0 ? std::min(r[2], width) : width, r[3] > 0 ? std::min(r[3], height) : height};
  }
  const int64_t buffer_width = state.dib_width, buffer_height = std::abs(int64_t{state.dib_height});
  McuRect visible = image;
  if (!DeliversCoefficients(state)) {  // planes hold the whole frame
    visible.right = Clamp32(std::min<int64_t>(image.right, image.left + buffer_width));
    visible.bottom = Clamp32(std::min<int64_t>(image.bottom, image.top + buffer_height));
  }
  return {image,
          visible,
          region,
          state.output_start,
          static_cast<int32_t>(state.dib_channels),
          state.row_stride};
}

}  // namespace

bool IsRegionRead(const JpegState& state) {
  const int32_t* r = state.roi_rect;
  const auto [width, height] = ExtentOfRead(state);
  return (r[2] != 0 && r[2] < width) || (r[3] != 0 && r[3] < height) || r[1] > 0 || r[0] > 0;
}

Status CheckRegion(const JpegState& state) {
  if (!IsRegionRead(state)) return JPEG_SUCCESS;
  const int32_t* r = state.roi_rect;
  const auto [width, height] = ExtentOfRead(state);
  const bool inverted =
      r[2] < 0 || r[3] < 0 || (r[2] != 0 && r[2] <= r[0]) || (r[3] != 0 && r[3] <= r[1]);
  return inverted || r[0] >= width || r[1] >= height ? JPEG_ERR_INVALID_PROPERTIES : JPEG_SUCCESS;
}

bool RoiFieldsSet(const JpegState& state) {
  const int32_t* r = state.roi_rect;
  return r[0] != 0 || r[1] != 0 || r[2] != 0 || r[3] != 0;
}

ReadGeometry GeometryOfFrame(const JpegFrameHeader& frame, int32_t scale) {
  ReadGeometry g{};
  g.component_count = std::clamp(frame.component_count, 0, JPEG_MAX_COMPONENTS);
  g.frame_h_max = g.frame_v_max = 1;
  for (int32_t i = 0; i < g.component_count; ++i) {
    g.frame_h_max = std::max(g.frame_h_max, frame.components[i].h);
    g.frame_v_max = std::max(g.frame_v_max, frame.components[i].v);
  }
  const bool one_component = g.component_count <= 1;
  g.h_max = one_component ? 1 : g.frame_h_max;
  g.v_max = one_component ? 1 : g.frame_v_max;
  g.scale = scale;
  g.mcu_width = 8 * g.h_max / scale;
  g.mcu_height = 8 * g.v_max / scale;
  g.mcus_across = CeilDiv(frame.width, 8 * g.frame_h_max);
  g.mcus_down = CeilDiv(frame.height, 8 * g.frame_v_max);
  g.square_sampling = HasSquareSampling(frame, g.frame_h_max, g.frame_v_max);
  for (int32_t i = 0; i < g.component_count; ++i) {
    const JpegFrameComponent& c = frame.components[i];
    ComponentGeometry& component = g.components[i];
    component.h = one_component ? 1 : c.h;
    component.v = one_component ? 1 : c.v;
    component.blocks_across = CeilDiv(CeilDiv(int64_t{frame.width} * c.h, g.frame_h_max), 8);
    component.blocks_down = CeilDiv(CeilDiv(int64_t{frame.height} * c.v, g.frame_v_max), 8);
    component.block_size = TransformSize(scale, g.square_sampling, c.h * c.v);
    component.sample_h = component.h * component.block_size * scale / 8;
    component.sample_v = component.v * component.block_size * scale / 8;
  }
  return g;
}

ReadGeometry ComputeReadGeometry(const JpegState& state) {
  const int32_t scale = ReadScale(state.io_mode);
  ReadGeometry g = GeometryOfFrame(state.frame, scale);
  g.window = WindowOf(state);
  return g;
}

ScanGrid GridOfScan(const ReadGeometry& geometry, const JpegScanHeader& scan) {
  if (scan.component_count > 1) return {geometry.mcus_across, geometry.mcus_down};
  const ComponentGeometry& c = geometry.components[scan.components[0].frame_index];
  return {c.blocks_across, c.blocks_down};
}

namespace {

// The pixels one cell of a scan's grid covers: an MCU, or one block of the scan's
// component.
McuRect CellSize(const ReadGeometry& geometry, const JpegScanHeader& scan) {
  int32_t width = geometry.mcu_width, height = geometry.mcu_height;
  if (scan.component_count == 1) {
    const ComponentGeometry& c = geometry.components[scan.components[0].frame_index];
    width /= c.h;
    height /= c.v;
  }
  return {0, 0, width, height};
}

}  // namespace

GridSpan SpanOfScan(const ReadGeometry& geometry, const JpegScanHeader& scan, ScanGrid grid) {
  const McuRect cell = CellSize(geometry, scan);
  const int32_t width = cell.right, height = cell.bottom;
  const McuRect& v = geometry.window.visible;
  if (IsEmpty(v) || width <= 0 || height <= 0) return {0, 0, 0, 0};
  return {std::min(v.left / width, grid.across), std::min(CeilDiv(v.right, width), grid.across),
          std::min(v.top / height, grid.down), std::min(CeilDiv(v.bottom, height), grid.down)};
}

McuRect PixelsOfCells(const ReadGeometry& geometry, const JpegFrameHeader& frame,
                      const JpegScanHeader& scan, const GridSpan& cells) {
  const McuRect cell = CellSize(geometry, scan);
  const int32_t width = static_cast<int32_t>(JpegScaledExtent(frame.width, geometry.scale));
  const int32_t height = static_cast<int32_t>(JpegScaledExtent(frame.height, geometry.scale));
  auto clamp = [](int64_t value, int32_t low, int32_t high) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
  };
  const int32_t left = clamp(int64_t{cells.first_column} * cell.right, 0, width);
  const int32_t top = clamp(int64_t{cells.first_row} * cell.bottom, 0, height);
  return {left, top, clamp(int64_t{cells.end_column} * cell.right, left, width),
          clamp(int64_t{cells.end_row} * cell.bottom, top, height)};
}

}  // namespace jpeg
