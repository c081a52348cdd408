// MCU placement and clipping. The rectangle arithmetic follows the region rules of
// the region read; in addition an MCU wholly outside the buffer gets an empty
// rectangle (never a negative extent), so writers need no further checks.
#include "jpeg/mcu_placement.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace jpeg {
namespace {

bool HasRegion(const int32_t region[4]) {
  return region[0] != 0 || region[1] != 0 || region[2] != 0 || region[3] != 0;
}

uint8_t* PixelAt(uint8_t* pixels, int64_t x, int64_t y, int32_t channels, int32_t row_step) {
  return pixels + static_cast<ptrdiff_t>(x * channels + y * row_step);
}

// Keeps right >= left and bottom >= top, so an invisible MCU reads as empty.
McuRect Normalised(McuRect rect) {
  rect.right = std::max(rect.right, rect.left);
  rect.bottom = std::max(rect.bottom, rect.top);
  return rect;
}

}  // namespace

int32_t PlaceMcuOutput(const int32_t region[4], int32_t mcu_width, int32_t mcu_height,
                       int32_t mcu_column, int32_t mcu_row, int32_t channels, int32_t row_step,
                       uint8_t* pixels, int32_t width, int32_t height, McuPlacement& placement) {
  const int32_t x = mcu_column * mcu_width;
  const int32_t y = mcu_row * mcu_height;
  const int32_t rows = std::abs(height);
  if (!HasRegion(region)) {
    placement.out = PixelAt(pixels, x, y, channels, row_step);
    placement.visible =
        Normalised({0, 0, std::min(mcu_width, width - x), std::min(mcu_height, rows - y)});
    return JPEG_SUCCESS;
  }
  const int32_t left = region[0], top = region[1], right = region[2], bottom = region[3];
  if (x >= right || x + mcu_width < left || y >= bottom || y + mcu_height < top)
    return JPEG_ERR_INVALID_PROPERTIES;
  placement.out = PixelAt(pixels, int64_t{x} - left, int64_t{y} - top, channels, row_step);
  placement.visible = Normalised({std::max(0, left - x), std::max(0, top - y),
                                  std::min({mcu_width, right - x, width - x + left}),
                                  std::min({mcu_height, bottom - y, rows - y + top})});
  return JPEG_SUCCESS;
}

int32_t PlaceStateMcu(const JpegState& state, int32_t mcu_width, int32_t mcu_height,
                      int32_t mcu_column, int32_t mcu_row, McuPlacement& placement) {
  const int32_t channels = static_cast<int32_t>(state.dib_channels);
  const int32_t buffer_width = static_cast<int32_t>(std::min<uint32_t>(state.dib_width, INT32_MAX));
  const int32_t buffer_height =
      static_cast<int32_t>(std::min<int64_t>(std::abs(int64_t{state.dib_height}), INT32_MAX));
  const int32_t frame_width =
      static_cast<int32_t>(std::min<uint32_t>(state.frame.width, INT32_MAX));
  const int32_t frame_height =
      static_cast<int32_t>(std::min<uint32_t>(state.frame.height, INT32_MAX));
  int32_t region[4] = {state.roi_rect[0], state.roi_rect[1], state.roi_rect[2], state.roi_rect[3]};
  if (HasRegion(region)) {
    // The region's buffer holds the region only; the region itself stops at the frame.
    region[2] = std::min(region[2], frame_width);
    region[3] = std::min(region[3], frame_height);
    return PlaceMcuOutput(region, mcu_width, mcu_height, mcu_column, mcu_row, channels,
                          state.row_stride, state.output_start, buffer_width, buffer_height,
                          placement);
  }
  return PlaceMcuOutput(region, mcu_width, mcu_height, mcu_column, mcu_row, channels,
                        state.row_stride, state.output_start, std::min(frame_width, buffer_width),
                        std::min(frame_height, buffer_height), placement);
}

}  // namespace jpeg
