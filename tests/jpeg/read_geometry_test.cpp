// The read geometry: MCU size and grids from the frame, and the output window that
// region, frame and the caller's buffer leave for the writers.
#include "jpeg/read_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "jpeg/mcu_placement.h"

namespace {

using jpeg::McuPlacement;
using jpeg::McuRect;

void ExpectRect(const McuRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right, right);
  EXPECT_EQ(rect.bottom, bottom);
}

int32_t Place(const JpegState& state, int32_t width, int32_t height, int32_t column, int32_t row,
              McuPlacement& placement) {
  return jpeg::PlaceMcuOutput(jpeg::ComputeReadGeometry(state).window, width, height, column, row,
                              placement)
      .code();
}

JpegFrameHeader Frame(uint32_t width, uint32_t height, std::vector<std::pair<int, int>> factors) {
  JpegFrameHeader frame{};
  frame.width = width;
  frame.height = height;
  frame.component_count = static_cast<int32_t>(factors.size());
  for (size_t i = 0; i < factors.size(); ++i) {
    frame.components[i].h = factors[i].first;
    frame.components[i].v = factors[i].second;
  }
  return frame;
}

// A frame of one component is one block per MCU whatever its factors (T.81 A.2.2); a
// scan of one component of a larger frame walks that component's own block grid.
TEST(ReadGeometryTest, McuSizeAndGridsFollowTheSampling) {
  const jpeg::ReadGeometry gray = jpeg::GeometryOfFrame(Frame(17, 9, {{2, 2}}));
  EXPECT_EQ(gray.mcu_width, 8);
  EXPECT_EQ(gray.mcu_height, 8);
  EXPECT_EQ(gray.components[0].blocks_across, 3);
  EXPECT_EQ(gray.components[0].blocks_down, 2);
  const jpeg::ReadGeometry ycc = jpeg::GeometryOfFrame(Frame(17, 20, {{2, 2}, {1, 1}, {1, 1}}));
  EXPECT_EQ(ycc.mcu_width, 16);
  EXPECT_EQ(ycc.mcu_height, 16);
  EXPECT_EQ(ycc.mcus_across, 2);
  EXPECT_EQ(ycc.mcus_down, 2);
  EXPECT_TRUE(ycc.square_sampling);
  JpegScanHeader scan{};
  scan.component_count = 1;
  scan.components[0].frame_index = 1;
  const jpeg::ScanGrid chroma = jpeg::GridOfScan(ycc, scan);
  EXPECT_EQ(chroma.across, 2);  // 9 chroma samples
  EXPECT_EQ(chroma.down, 2);    // 10
  scan.components[0].frame_index = 0;
  EXPECT_EQ(jpeg::GridOfScan(ycc, scan).across, 3);
  EXPECT_FALSE(jpeg::GeometryOfFrame(Frame(8, 8, {{4, 1}, {1, 1}, {1, 1}})).square_sampling);
}

// A frame larger than the caller's buffer: MCUs beyond the buffer show nothing, the
// ones across its edge only the part inside.
TEST(ReadGeometryTest, WindowClipsToTheSmallerOfFrameAndBuffer) {
  JpegState state{};
  std::vector<uint8_t> pixels(10 * 3 * 12);
  state.output_start = pixels.data();
  state.row_stride = 30;
  state.dib_channels = 3;
  state.dib_width = 10;
  state.dib_height = 12;
  state.frame.width = 40;
  state.frame.height = 9;
  McuPlacement placement{};
  ASSERT_EQ(Place(state, 8, 8, 1, 0, placement), 0);
  ExpectRect(placement.visible, 0, 0, 2, 8);
  ASSERT_EQ(Place(state, 8, 8, 1, 1, placement), 0);
  ExpectRect(placement.visible, 0, 0, 2, 1);
  ASSERT_EQ(Place(state, 8, 8, 3, 0, placement), 0);
  EXPECT_TRUE(jpeg::IsEmpty(placement.visible));
  ASSERT_EQ(Place(state, 8, 8, 0, 2, placement), 0);
  EXPECT_TRUE(jpeg::IsEmpty(placement.visible));
  // Bottom-up: negative dib_height counts as its magnitude.
  state.dib_height = -12;
  state.frame.height = 40;
  ASSERT_EQ(Place(state, 8, 8, 0, 1, placement), 0);
  ExpectRect(placement.visible, 0, 0, 8, 4);
}

TEST(ReadGeometryTest, RegionStopsAtTheFrame) {
  JpegState state{};
  std::vector<uint8_t> pixels(64 * 64);
  state.output_start = pixels.data();
  state.row_stride = 64;
  state.dib_channels = 1;
  state.dib_width = 64;
  state.dib_height = 64;
  state.frame.width = 20;
  state.frame.height = 20;
  state.roi_rect[0] = 8;
  state.roi_rect[1] = 8;
  state.roi_rect[2] = 72;
  state.roi_rect[3] = 72;
  McuPlacement placement{};
  ASSERT_EQ(Place(state, 16, 16, 1, 1, placement), 0);
  ExpectRect(placement.visible, 0, 0, 4, 4);
  EXPECT_EQ(Place(state, 16, 16, 2, 0, placement), -8);
}

// Zero in right or bottom means "to the frame's edge", not an empty region.
TEST(ReadGeometryTest, ZeroRightOrBottomReachesTheFrameEdge) {
  JpegState state{};
  std::vector<uint8_t> pixels(16 * 16);
  state.output_start = pixels.data();
  state.row_stride = 16;
  state.dib_channels = 1;
  state.dib_width = 16;
  state.dib_height = 16;
  state.frame.width = 16;
  state.frame.height = 16;
  state.roi_rect[3] = 16;
  McuPlacement placement{};
  ASSERT_EQ(Place(state, 8, 8, 1, 1, placement), 0);
  ExpectRect(placement.visible, 0, 0, 8, 8);
  state.roi_rect[1] = 4;  // a region of rows 4..15 into a 12-row buffer
  state.dib_height = 12;
  ASSERT_EQ(Place(state, 8, 8, 1, 0, placement), 0);
  ExpectRect(placement.visible, 0, 4, 8, 8);
  EXPECT_EQ(placement.out + 4 * 16, pixels.data() + 8);
}

}  // namespace
