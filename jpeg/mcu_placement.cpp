// MCU placement and clipping: the MCU's rectangle intersected with the window's
// visible rectangle, in MCU coordinates; an MCU wholly outside it gets an empty
// rectangle (never a negative extent), so writers need no further checks.
#include "jpeg/mcu_placement.h"

#include <algorithm>
#include <cstddef>

namespace jpeg {

Status PlaceMcuOutput(const OutputWindow& window, int32_t mcu_width, int32_t mcu_height,
                      int32_t mcu_column, int32_t mcu_row, McuPlacement& placement) {
  const int64_t x = int64_t{mcu_column} * mcu_width, y = int64_t{mcu_row} * mcu_height;
  const McuRect& image = window.image;
  if (window.region && (x >= image.right || x + mcu_width < image.left || y >= image.bottom ||
                        y + mcu_height < image.top))
    return JPEG_ERR_INVALID_PROPERTIES;
  placement.out = window.pixels + static_cast<ptrdiff_t>(PixelOffset(window, x, y));
  const McuRect& v = window.visible;
  McuRect& r = placement.visible;
  r.left = static_cast<int32_t>(std::clamp<int64_t>(v.left - x, 0, mcu_width));
  r.top = static_cast<int32_t>(std::clamp<int64_t>(v.top - y, 0, mcu_height));
  r.right = static_cast<int32_t>(std::clamp<int64_t>(v.right - x, r.left, mcu_width));
  r.bottom = static_cast<int32_t>(std::clamp<int64_t>(v.bottom - y, r.top, mcu_height));
  return JPEG_SUCCESS;
}

WholeMcus WholeMcusOf(const OutputWindow& window, int32_t mcu_width, int32_t mcu_height) {
  const McuRect& v = window.visible;
  if (IsEmpty(v) || mcu_width <= 0 || mcu_height <= 0) return {0, 0, 0, 0};
  return {(v.left + mcu_width - 1) / mcu_width, v.right / mcu_width,
          (v.top + mcu_height - 1) / mcu_height, v.bottom / mcu_height};
}

Status TargetMcu(const ReadGeometry& geometry, int32_t mcu_column, int32_t mcu_row,
                 McuTarget& target) {
  target.geometry = &geometry;
  target.component = 0;
  target.block_column = target.block_row = 0;
  return PlaceMcuOutput(geometry.window, geometry.mcu_width, geometry.mcu_height, mcu_column,
                        mcu_row, target.placement);
}

Status TargetBlock(const ReadGeometry& geometry, int32_t component, int32_t block_column,
                   int32_t block_row, McuTarget& target) {
  if (component < 0 || component >= geometry.component_count || block_column < 0 || block_row < 0)
    return JPEG_ERR_INVALID_PROPERTIES;
  const ComponentGeometry& c = geometry.components[component];
  const Status status = TargetMcu(geometry, block_column / c.h, block_row / c.v, target);
  target.component = component;
  target.block_column = block_column;
  target.block_row = block_row;
  return status;
}

}  // namespace jpeg
