// Coefficient planes: their size comes from the frame alone, so a caller can allocate
// them after a parameters read; every write is checked against that size.
#include "jpeg/coefficient_output.h"

#include <algorithm>
#include <cstring>

#include "jpeg/read_geometry.h"

namespace jpeg {
namespace {

struct PlaneLayout {
  int64_t stride;  // coefficients per row
  int64_t rows;
};

PlaneLayout LayoutOf(const JpegFrameHeader& frame, int32_t component) {
  const ReadGeometry g = GeometryOfFrame(frame);
  const JpegFrameComponent& c = frame.components[component];
  return {int64_t{g.mcus_across} * c.h * 8, int64_t{g.mcus_down} * c.v * 8};
}

int32_t ComponentCount(const JpegState& state) {
  return std::min<int32_t>(state.frame.component_count, JPEG_MAX_COMPONENTS);
}

}  // namespace

bool SamePlaneLayout(const JpegFrameHeader& a, const JpegFrameHeader& b) {
  if (a.width != b.width || a.height != b.height || a.component_count != b.component_count)
    return false;
  for (int32_t i = 0; i < std::min<int32_t>(a.component_count, JPEG_MAX_COMPONENTS); ++i)
    if (a.components[i].h != b.components[i].h || a.components[i].v != b.components[i].v)
      return false;
  return true;
}

Status CheckCoefficientPlanes(const JpegState& state) {
  for (int32_t i = 0; i < ComponentCount(state); ++i)
    if (state.raw_coefficients->planes[i] == nullptr) return JPEG_ERR_INVALID_PROPERTIES;
  return JPEG_SUCCESS;
}

void ClearCoefficientPlanes(JpegState& state) {
  for (int32_t i = 0; i < ComponentCount(state); ++i) {
    const PlaneLayout plane = LayoutOf(state.frame, i);
    std::memset(state.raw_coefficients->planes[i], 0,
                static_cast<size_t>(plane.stride * plane.rows) * sizeof(int16_t));
  }
}

void PutBlock(JpegState& state, int32_t component, int32_t bx, int32_t by, const int16_t* block) {
  const PlaneLayout plane = LayoutOf(state.frame, component);
  if (int64_t{bx} * 8 + 8 > plane.stride || int64_t{by} * 8 + 8 > plane.rows) return;
  int16_t* out =
      state.raw_coefficients->planes[component] + int64_t{by} * 8 * plane.stride + bx * 8;
  for (int32_t row = 0; row < 8; ++row, out += plane.stride, block += 8)
    std::memcpy(out, block, 8 * sizeof(int16_t));
}

void PutScanMcu(JpegState& state, const JpegScanHeader& scan, int32_t x, int32_t y) {
  const int16_t* block = state.mcu_work_buffer;
  if (scan.component_count == 1) {
    PutBlock(state, scan.components[0].frame_index, x, y, block);
    return;
  }
  for (int32_t j = 0; j < scan.component_count; ++j) {
    const JpegScanComponent& c = scan.components[j];
    for (int32_t v = 0; v < c.v; ++v)
      for (int32_t h = 0; h < c.h; ++h, block += 64)
        PutBlock(state, c.frame_index, x * c.h + h, y * c.v + v, block);
  }
}

}  // namespace jpeg
