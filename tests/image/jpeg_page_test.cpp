// The JPEG adapter: refusals without a codec call, headers of failed decodes left
// alone, and the premultiplying post-pass of four-component pages.
#include "image/jpeg_page.h"

#include <gtest/gtest.h>

namespace {

TEST(DecodeJpegFromMemory, NoBytesGiveNoBuffer) {
  BitmapInfoHeader header{};
  header.biWidth = 7;
  EXPECT_TRUE(DecodeJpegFromMemory(nullptr, 10, &header).empty());
  const std::uint8_t one = 0xFF;
  EXPECT_TRUE(DecodeJpegFromMemory(&one, 0, &header).empty());
  EXPECT_EQ(header.biWidth, 7);
}

TEST(DecodeJpegFromMemory, BytesThatAreNoJpegLeaveTheHeaderUntouched) {
  BitmapInfoHeader header{};
  header.biWidth = 7;
  const std::uint8_t bytes[] = {'B', 'M', 0, 0, 0xFF, 0xD9};
  EXPECT_TRUE(DecodeJpegFromMemory(bytes, sizeof bytes, &header).empty());
  EXPECT_EQ(header.biWidth, 7);
}

TEST(ConvertRgbaToBgraPremultiplied, SwapsRedAndBlueAndScalesByAlpha) {
  std::uint8_t pixels[] = {200, 100, 50, 128, 255, 255, 255, 255, 9, 9, 9, 0};
  ConvertRgbaToBgraPremultiplied(pixels, 3, 1);
  EXPECT_EQ(pixels[0], (50 * 128 + 1) >> 8);
  EXPECT_EQ(pixels[1], (100 * 128 + 1) >> 8);
  EXPECT_EQ(pixels[2], (200 * 128 + 1) >> 8);
  EXPECT_EQ(pixels[3], 128);
  EXPECT_EQ(pixels[4], 254);  // (255 * 255 + 1) >> 8
  EXPECT_EQ(pixels[8], 0);
  EXPECT_EQ(pixels[11], 0);
}

}  // namespace
