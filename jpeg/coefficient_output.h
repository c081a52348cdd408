// Coefficient output: a read with raw_coefficients of data_kind 0 delivers the quantised
// DCT coefficients of every block instead of pixels. Plane i (one per frame component)
// is a picture of 16-bit coefficients, (MCUs across) x Hi x 8 wide and (MCUs down) x
// Vi x 8 high, the MCU grid being that of the frame (8 x Hmax by 8 x Vmax pixels per
// MCU) and Hi, Vi the component's sampling factors: block (bx, by) of the component
// occupies the 8 x 8 patch at (8 bx, 8 by), in natural (row-major) order. Blocks a read
// does not deliver (outside a region, or never coded) read as zero.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/status.h"

namespace jpeg {

inline bool DeliversCoefficients(const JpegState& state) {
  return state.raw_coefficients != nullptr && state.raw_coefficients->data_kind == 0;
}

// Whether two frames give the same planes.
bool SamePlaneLayout(const JpegFrameHeader& a, const JpegFrameHeader& b);

// "Invalid JPEG_PROPERTIES" when a frame component has no plane.
Status CheckCoefficientPlanes(const JpegState& state);

// Zero-fills every plane of the frame.
void ClearCoefficientPlanes(JpegState& state);

// Copies the blocks of the work buffer, as a sequential scan decoded them for MCU
// (x, y) of its grid, into the planes.
void PutScanMcu(JpegState& state, const JpegScanHeader& scan, int32_t x, int32_t y);

// Copies one block in natural order to block (bx, by) of the component's plane; blocks
// outside the plane are dropped.
void PutBlock(JpegState& state, int32_t component, int32_t bx, int32_t by, const int16_t* block);

}  // namespace jpeg
