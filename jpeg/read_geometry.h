// The geometry of one read, computed once from the frame, the read's scale and its
// region, and used by every stage: the frame set-up's record fields, the scan
// drivers' grids, the sink's transform sizes and the writers' MCU size and placement.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/status.h"

namespace jpeg {

// Pixels relative to a corner; right and bottom are exclusive.
struct McuRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

inline bool IsEmpty(const McuRect& rect) {
  return rect.right <= rect.left || rect.bottom <= rect.top;
}

// Where the read's pixels go. image is the part of the image the read covers (the
// whole frame, or the region clamped to it), in image coordinates; its top-left pixel
// is buffer pixel (0, 0) at `pixels`. visible is the part of image that the caller's
// buffer holds, which is all a writer may touch.
struct OutputWindow {
  McuRect image;
  McuRect visible;
  bool region;  // MCUs wholly outside a region are refused rather than dropped
  uint8_t* pixels;
  int32_t channels;
  int32_t row_step;  // negative for bottom-up buffers
};

struct ComponentGeometry {
  int32_t h, v;                        // factors as the MCU sees them
  int32_t blocks_across, blocks_down;  // the component's own block grid (T.81 A.1.1)
  // Samples across a block after the read's inverse transform (8 at full size), and the
  // factors those samples have against the output: h and v, or the MCU's for a
  // component given the larger transform, whose samples then need no expansion.
  int32_t block_size;
  int32_t sample_h, sample_v;
};

struct ReadGeometry {
  int32_t component_count;
  // The largest factors as the frame declares them; a frame of one component is
  // still coded one block per MCU (T.81 A.2.2), so its MCU factors count as 1x1.
  int32_t frame_h_max, frame_v_max;
  int32_t h_max, v_max;            // of the MCU
  int32_t mcu_width, mcu_height;   // output pixels, so 8 * h_max / scale across
  int32_t mcus_across, mcus_down;  // the interleaved grid, 8*frame_h_max x 8*frame_v_max
  int32_t scale;                   // 1, 2, 4 or 8
  // Every component sampled 1x1 or 2x2, with some 2x2: reduced reads give the 1x1
  // components the next larger transform.
  bool square_sampling;
  ComponentGeometry components[JPEG_MAX_COMPONENTS];
  OutputWindow window;
};

// A read asks for less than the image: right or bottom non-zero and inside the
// frame, or left or top beyond 0.
bool IsRegionRead(const JpegState& state);
// "Invalid JPEG_PROPERTIES" for a region that leaves nothing of the image: one that
// starts beyond its right or bottom edge, or whose right or bottom (when given, that
// is non-zero) is negative or not beyond its left or top.
Status CheckRegion(const JpegState& state);
// Any roi_rect field non-zero: a region asked for, or the position an interrupted read
// reported; the byte count of such a read goes on from the previous one.
bool RoiFieldsSet(const JpegState& state);

// The geometry of a read of the frame at 1/scale of its size with no window.
ReadGeometry GeometryOfFrame(const JpegFrameHeader& frame, int32_t scale = 1);
ReadGeometry ComputeReadGeometry(const JpegState& state);

// The grid of a scan: the interleaved grid, or for a scan of one component that
// component's block grid (one block per MCU).
struct ScanGrid {
  int32_t across, down;
};
ScanGrid GridOfScan(const ReadGeometry& geometry, const JpegScanHeader& scan);

// The MCUs of a scan's grid that the window shows, ends exclusive: the whole grid for
// a whole-image read into a buffer large enough.
struct GridSpan {
  int32_t first_column, end_column;
  int32_t first_row, end_row;
};
GridSpan SpanOfScan(const ReadGeometry& geometry, const JpegScanHeader& scan, ScanGrid grid);
// The pixels of the image that the cells of a scan's grid cover, in image coordinates
// at the read's scale: what an interrupted read reports.
McuRect PixelsOfCells(const ReadGeometry& geometry, const JpegFrameHeader& frame,
                      const JpegScanHeader& scan, const GridSpan& cells);

// An interrupted read's return: the pixels it decoded last go to roi_rect.
inline Status ReportInterrupt(JpegState& state, const McuRect& decoded) {
  state.roi_rect[0] = decoded.left;
  state.roi_rect[1] = decoded.top;
  state.roi_rect[2] = decoded.right;
  state.roi_rect[3] = decoded.bottom;
  return JPEG_INTERRUPT_SUCCESS;
}

}  // namespace jpeg
