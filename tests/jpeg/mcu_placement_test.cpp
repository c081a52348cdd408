// MCU placement: the output pointer and the visible rectangle for whole-image and
// region reads, bottom-up buffers, MCUs that stick out of the image or of a buffer
// smaller than the frame.
#include <gtest/gtest.h>

#include <algorithm>
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

// The window of a whole-image read into a buffer of width x |height| pixels.
jpeg::OutputWindow Whole(uint8_t* pixels, int32_t channels, int32_t row_step, int32_t width,
                         int32_t height) {
  const int32_t rows = height < 0 ? -height : height;
  return {{0, 0, width, rows}, {0, 0, width, rows}, false, pixels, channels, row_step};
}

// The window of a region read: region (left, top, right, bottom) into a buffer of
// width x height pixels.
jpeg::OutputWindow Region(const int32_t (&r)[4], uint8_t* pixels, int32_t channels,
                          int32_t row_step, int32_t width, int32_t height) {
  return {{r[0], r[1], r[2], r[3]},
          {r[0], r[1], std::min(r[2], r[0] + width), std::min(r[3], r[1] + height)},
          true,
          pixels,
          channels,
          row_step};
}

TEST(PlaceMcuOutputTest, SecondColumnOfA17PixelWide420ImageShowsOneColumn) {
  std::vector<uint8_t> pixels(17 * 3 * 20);
  McuPlacement placement{};
  ASSERT_EQ(jpeg::PlaceMcuOutput(Whole(pixels.data(), 3, 51, 17, 20), 16, 16, 1, 0, placement), 0);
  EXPECT_EQ(placement.out, pixels.data() + 16 * 3);
  ExpectRect(placement.visible, 0, 0, 1, 16);
  ASSERT_EQ(jpeg::PlaceMcuOutput(Whole(pixels.data(), 3, 51, 17, 20), 16, 16, 1, 1, placement), 0);
  EXPECT_EQ(placement.out, pixels.data() + 16 * 51 + 16 * 3);
  ExpectRect(placement.visible, 0, 0, 1, 4);
  ASSERT_EQ(jpeg::PlaceMcuOutput(Whole(pixels.data(), 3, 51, 17, 20), 16, 16, 0, 0, placement), 0);
  ExpectRect(placement.visible, 0, 0, 16, 16);
}

TEST(PlaceMcuOutputTest, BottomUpRowsGoUpFromTheLastBufferRow) {
  std::vector<uint8_t> pixels(4 * 32);  // 8 pixels of 3 bytes + 8 pad bytes, 4 rows
  uint8_t* last_row = pixels.data() + 3 * 32;
  McuPlacement placement{};
  ASSERT_EQ(jpeg::PlaceMcuOutput(Whole(last_row, 3, -32, 8, -4), 8, 8, 0, 0, placement), 0);
  EXPECT_EQ(placement.out, last_row);
  ExpectRect(placement.visible, 0, 0, 8, 4);
}

TEST(PlaceMcuOutputTest, RegionMcusAreClippedToTheRegionAndItsBuffer) {
  const int32_t region[4] = {10, 5, 30, 21};  // 20 x 16 pixels
  std::vector<uint8_t> pixels(20 * 16);
  McuPlacement placement{};
  // MCU (0, 0) covers pixels 0..15 x 0..15: visible from (10, 5).
  ASSERT_EQ(
      jpeg::PlaceMcuOutput(Region(region, pixels.data(), 1, 20, 20, 16), 16, 16, 0, 0, placement),
      0);
  ExpectRect(placement.visible, 10, 5, 16, 16);
  EXPECT_EQ(placement.out + 10 + 5 * 20, pixels.data());
  // MCU (1, 1) covers 16..31 x 16..31: visible up to the region's right and bottom.
  ASSERT_EQ(
      jpeg::PlaceMcuOutput(Region(region, pixels.data(), 1, 20, 20, 16), 16, 16, 1, 1, placement),
      0);
  ExpectRect(placement.visible, 0, 0, 14, 5);
  EXPECT_EQ(placement.out, pixels.data() + 6 + 11 * 20);
  // A buffer narrower than the region clips further.
  ASSERT_EQ(
      jpeg::PlaceMcuOutput(Region(region, pixels.data(), 1, 20, 12, 16), 16, 16, 1, 1, placement),
      0);
  ExpectRect(placement.visible, 0, 0, 6, 5);
}

TEST(PlaceMcuOutputTest, McusOutsideTheRegionAreRefused) {
  const int32_t region[4] = {16, 16, 32, 32};
  std::vector<uint8_t> pixels(16 * 16);
  McuPlacement placement{};
  auto place = [&](int32_t column, int32_t row) {
    return jpeg::PlaceMcuOutput(Region(region, pixels.data(), 1, 16, 16, 16), 8, 8, column, row,
                                placement);
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

}  // namespace
