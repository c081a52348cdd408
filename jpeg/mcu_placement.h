// Where one MCU lands in the caller's pixel buffer: the pointer to the MCU's top-left
// pixel and the part of the MCU that may be written (the visible rectangle). Every
// output writer places its MCU here first and writes only inside that rectangle, so
// MCUs that stick out of the image, the region or the caller's buffer are clipped
// and nothing outside the buffer is ever touched.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Pixels relative to the MCU's top-left corner; right and bottom are exclusive.
struct McuRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct McuPlacement {
  uint8_t* out;     // the MCU's top-left pixel (may lie outside the buffer when clipped)
  McuRect visible;  // empty (right <= left or bottom <= top) when nothing is visible
};

inline bool IsEmpty(const McuRect& rect) {
  return rect.right <= rect.left || rect.bottom <= rect.top;
}

// True when the MCU is visible whole.
inline bool IsWhole(const McuRect& rect, int32_t mcu_width, int32_t mcu_height) {
  return rect.left == 0 && rect.top == 0 && rect.right == mcu_width && rect.bottom == mcu_height;
}

// Places MCU (mcu_column, mcu_row) of mcu_width x mcu_height pixels. region holds
// left, top, right, bottom of the region read, all zero for a whole-image read;
// pixels is image (or region) row 0, row_step the distance between rows (negative for
// bottom-up buffers), width x |height| the size of the buffer in pixels. Returns 0, or
// -8 when the MCU lies outside the region.
[[nodiscard]] int32_t PlaceMcuOutput(const int32_t region[4], int32_t mcu_width, int32_t mcu_height,
                                     int32_t mcu_column, int32_t mcu_row, int32_t channels,
                                     int32_t row_step, uint8_t* pixels, int32_t width,
                                     int32_t height, McuPlacement& placement);

// PlaceMcuOutput for the read in progress: output_start, row_stride, dib_channels and
// roi_rect of the state; the visible image is clipped both to the frame and to the
// caller's buffer (min(frame width, dib_width) x min(frame height, |dib_height|)).
[[nodiscard]] int32_t PlaceStateMcu(const JpegState& state, int32_t mcu_width, int32_t mcu_height,
                                    int32_t mcu_column, int32_t mcu_row, McuPlacement& placement);

}  // namespace jpeg
