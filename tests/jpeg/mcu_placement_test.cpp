// MCU placement: the output pointer and the visible rectangle for whole-image and
// region reads, bottom-up buffers, MCUs that stick out of the image or of a buffer
// smaller than the frame.
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

constexpr int32_t kWholeImage[4] = {0, 0, 0, 0};

TEST(PlaceMcuOutputTest, SecondColumnOfA17PixelWide420ImageShowsOneColumn) {
  std::vector<uint8_t> pixels(17 * 3 * 20);
  McuPlacement placement{};
  ASSERT_EQ(
      jpeg::PlaceMcuOutput(kWholeImage, 16, 16, 1, 0, 3, 51, pixels.data(), 17, 20, placement), 0);
  EXPECT_EQ(placement.out, pixels.data() + 16 * 3);
  ExpectRect(placement.visible, 0, 0, 1, 16);
  ASSERT_EQ(
      jpeg::PlaceMcuOutput(kWholeImage, 16, 16, 1, 1, 3, 51, pixels.data(), 17, 20, placement), 0);
  EXPECT_EQ(placement.out, pixels.data() + 16 * 51 + 16 * 3);
  ExpectRect(placement.visible, 0, 0, 1, 4);
  ASSERT_EQ(
      jpeg::PlaceMcuOutput(kWholeImage, 16, 16, 0, 0, 3, 51, pixels.data(), 17, 20, placement), 0);
  ExpectRect(placement.visible, 0, 0, 16, 16);
}

TEST(PlaceMcuOutputTest, BottomUpRowsGoUpFromTheLastBufferRow) {
  std::vector<uint8_t> pixels(4 * 32);  // 8 pixels of 3 bytes + 8 pad bytes, 4 rows
  uint8_t* last_row = pixels.data() + 3 * 32;
  McuPlacement placement{};
  ASSERT_EQ(jpeg::PlaceMcuOutput(kWholeImage, 8, 8, 0, 0, 3, -32, last_row, 8, -4, placement), 0);
  EXPECT_EQ(placement.out, last_row);
  ExpectRect(placement.visible, 0, 0, 8, 4);
}

TEST(PlaceMcuOutputTest, RegionMcusAreClippedToTheRegionAndItsBuffer) {
  const int32_t region[4] = {10, 5, 30, 21};  // 20 x 16 pixels
  std::vector<uint8_t> pixels(20 * 16);
  McuPlacement placement{};
  // MCU (0, 0) covers pixels 0..15 x 0..15: visible from (10, 5).
  ASSERT_EQ(jpeg::PlaceMcuOutput(region, 16, 16, 0, 0, 1, 20, pixels.data(), 20, 16, placement), 0);
  ExpectRect(placement.visible, 10, 5, 16, 16);
  EXPECT_EQ(placement.out + 10 + 5 * 20, pixels.data());
  // MCU (1, 1) covers 16..31 x 16..31: visible up to the region's right and bottom.
  ASSERT_EQ(jpeg::PlaceMcuOutput(region, 16, 16, 1, 1, 1, 20, pixels.data(), 20, 16, placement), 0);
  ExpectRect(placement.visible, 0, 0, 14, 5);
  EXPECT_EQ(placement.out, pixels.data() + 6 + 11 * 20);
  // A buffer narrower than the region clips further.
  ASSERT_EQ(jpeg::PlaceMcuOutput(region, 16, 16, 1, 1, 1, 20, pixels.data(), 12, 16, placement), 0);
  ExpectRect(placement.visible, 0, 0, 6, 5);
}

TEST(PlaceMcuOutputTest, McusOutsideTheRegionAreRefused) {
  const int32_t region[4] = {16, 16, 32, 32};
  std::vector<uint8_t> pixels(16 * 16);
  McuPlacement placement{};
  auto place = [&](int32_t column, int32_t row) {
    return jpeg::PlaceMcuOutput(region, 8, 8, column, row, 1, 16, pixels.data(), 16, 16, placement);
  };
  EXPECT_EQ(place(4, 2), -8);  // x = 32 >= right
  EXPECT_EQ(place(2, 4), -8);  // y = 32 >= bottom
  EXPECT_EQ(place(0, 2), -8);  // x + 8 < left
  EXPECT_EQ(place(2, 0), -8);  // y + 8 < top
  EXPECT_EQ(place(2, 2), 0);
  ExpectRect(placement.visible, 0, 0, 8, 8);
  // An MCU that ends exactly at the region's left edge is placed, but shows nothing.
  EXPECT_EQ(place(1, 2), 0);
  EXPECT_TRUE(jpeg::IsEmpty(placement.visible));
}

// A frame larger than the caller's buffer: MCUs beyond the buffer show nothing, the
// ones across its edge only the part inside.
TEST(PlaceStateMcuTest, ClipsToTheSmallerOfFrameAndBuffer) {
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
  ASSERT_EQ(jpeg::PlaceStateMcu(state, 8, 8, 1, 0, placement), 0);
  ExpectRect(placement.visible, 0, 0, 2, 8);
  ASSERT_EQ(jpeg::PlaceStateMcu(state, 8, 8, 1, 1, placement), 0);
  ExpectRect(placement.visible, 0, 0, 2, 1);
  ASSERT_EQ(jpeg::PlaceStateMcu(state, 8, 8, 3, 0, placement), 0);
  EXPECT_TRUE(jpeg::IsEmpty(placement.visible));
  ASSERT_EQ(jpeg::PlaceStateMcu(state, 8, 8, 0, 2, placement), 0);
  EXPECT_TRUE(jpeg::IsEmpty(placement.visible));
  // Bottom-up: negative dib_height counts as its magnitude.
  state.dib_height = -12;
  state.frame.height = 40;
  ASSERT_EQ(jpeg::PlaceStateMcu(state, 8, 8, 0, 1, placement), 0);
  ExpectRect(placement.visible, 0, 0, 8, 4);
}

TEST(PlaceStateMcuTest, RegionStopsAtTheFrame) {
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
  ASSERT_EQ(jpeg::PlaceStateMcu(state, 16, 16, 1, 1, placement), 0);
  ExpectRect(placement.visible, 0, 0, 4, 4);
  EXPECT_EQ(jpeg::PlaceStateMcu(state, 16, 16, 2, 0, placement), -8);
}

}  // namespace
