// Where one MCU lands in the caller's pixel buffer: the pointer to the MCU's top-left
// pixel and the part of the MCU that may be written (the visible rectangle). The sink
// places every MCU here once and hands the placement to the writer, which writes only
// inside that rectangle, so MCUs that stick out of the image, the region or the
// caller's buffer are clipped and nothing outside the buffer is ever touched.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/read_geometry.h"
#include "jpeg/status.h"

namespace jpeg {

struct McuPlacement {
  uint8_t* out;     // the MCU's top-left pixel (may lie outside the buffer when clipped)
  McuRect visible;  // relative to out; empty when nothing is visible
};

// True when the MCU is visible whole.
inline bool IsWhole(const McuRect& rect, int32_t mcu_width, int32_t mcu_height) {
  return rect.left == 0 && rect.top == 0 && rect.right == mcu_width && rect.bottom == mcu_height;
}

// Where image pixel (x, y) lies from the window's pixel (0, 0), the image's (image.left,
// image.top), in bytes.
inline int64_t PixelOffset(const OutputWindow& window, int64_t x, int64_t y) {
  return (x - window.image.left) * window.channels + (y - window.image.top) * window.row_step;
}

// The MCUs of mcu_width x mcu_height pixels that the window shows whole, ends exclusive: the
// ones a writer may take without clipping.
struct WholeMcus {
  int32_t first_column, end_column;
  int32_t first_row, end_row;

  bool Holds(int32_t mcu_column, int32_t mcu_row) const {
    return mcu_column >= first_column && mcu_column < end_column && mcu_row >= first_row &&
           mcu_row < end_row;
  }
};
WholeMcus WholeMcusOf(const OutputWindow& window, int32_t mcu_width, int32_t mcu_height);

// Places MCU (mcu_column, mcu_row) of mcu_width x mcu_height pixels in the window.
// Returns 0, or -8 when the MCU lies outside the window's region.
Status PlaceMcuOutput(const OutputWindow& window, int32_t mcu_width, int32_t mcu_height,
                      int32_t mcu_column, int32_t mcu_row, McuPlacement& placement);

// What a writer gets for one MCU: the read's geometry and where the MCU lands. An
// image written a component at a time gets one block per call: block (block_column,
// block_row) of frame component `component`, inside the interleaved MCU placed here.
struct McuTarget {
  const ReadGeometry* geometry;
  McuPlacement placement;
  int32_t component;
  int32_t block_column, block_row;
};

// The target of interleaved MCU (mcu_column, mcu_row), or of one block of a component.
Status TargetMcu(const ReadGeometry& geometry, int32_t mcu_column, int32_t mcu_row,
                 McuTarget& target);
Status TargetBlock(const ReadGeometry& geometry, int32_t component, int32_t block_column,
                   int32_t block_row, McuTarget& target);

}  // namespace jpeg
