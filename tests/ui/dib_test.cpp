// DIB validation and conversion with exact pixels, and DrawDib's reuse of the converted
// image across paints, against the headless backend.
#include "platform/ui/dib.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/font_choice.h"
#include "platform/ui/headless.h"

namespace platform::ui {
namespace {

BitmapInfoHeader Header(int width, int height, int bits) {
  BitmapInfoHeader h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = static_cast<std::uint16_t>(bits);
  return h;
}

std::vector<std::uint8_t> Pixel(const RgbImage& image, int x, int y) {
  const auto* p = &image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
  return {p[0], p[1], p[2]};
}

using Rgb = std::vector<std::uint8_t>;

TEST(DibValidation, StrideIsPaddedToFourBytes) {
  EXPECT_EQ(DibStride(1, 24), 4u);
  EXPECT_EQ(DibStride(3, 24), 12u);
  EXPECT_EQ(DibStride(5, 24), 16u);
  EXPECT_EQ(DibStride(3, 16), 8u);
  EXPECT_EQ(DibStride(3, 32), 12u);
  EXPECT_EQ(DibStride(0, 24), 0u);
  EXPECT_EQ(DibStride(4, 8), 0u);
}

TEST(DibValidation, HeaderIsCheckedAgainstTheBuffer) {
  const std::vector<std::uint8_t> bits(16 * 2);
  EXPECT_EQ(ValidateDib(Header(5, 2, 24), bits), DibError::kNone);
  EXPECT_EQ(ValidateDib(Header(5, -2, 24), bits), DibError::kNone);
  EXPECT_EQ(ValidateDib(Header(5, 3, 24), bits), DibError::kBufferTooSmall);
  EXPECT_EQ(ValidateDib(Header(5, 2, 24), std::span(bits).first(31)), DibError::kBufferTooSmall);
  EXPECT_EQ(ValidateDib(Header(5, 2, 8), bits), DibError::kBadBitCount);
  EXPECT_EQ(ValidateDib(Header(0, 2, 24), bits), DibError::kBadHeader);
  EXPECT_EQ(ValidateDib(Header(-5, 2, 24), bits), DibError::kBadHeader);
  EXPECT_EQ(ValidateDib(Header(5, 0, 24), bits), DibError::kBadHeader);
  EXPECT_EQ(ValidateDib(Header(5, INT32_MIN, 24), bits), DibError::kBadHeader);
  EXPECT_EQ(ValidateDib(Header(0x7FFFFFFF, 0x7FFFFFFF, 32), bits), DibError::kTooLarge);
  BitmapInfoHeader compressed = Header(5, 2, 24);
  compressed.biCompression = 1;
  EXPECT_EQ(ValidateDib(compressed, bits), DibError::kBadHeader);
  BitmapInfoHeader short_header = Header(5, 2, 24);
  short_header.biSize = 12;
  EXPECT_EQ(ValidateDib(short_header, bits), DibError::kBadHeader);
  EXPECT_EQ(ConvertDib(Header(5, 3, 24), bits, 5, 3).width, 0);
}

TEST(DibConversion, BottomUp24BitRowsComeOutTopDownWithoutPadding) {
  // 2 x 2, stride 8: bottom row first. B, G, R order.
  const std::vector<std::uint8_t> bits = {1, 2, 3, 4,  5,  6,  0xEE, 0xEE,   // bottom row
                                          7, 8, 9, 10, 11, 12, 0xEE, 0xEE};  // top row
  const RgbImage image = ConvertDib(Header(2, 2, 24), bits, 2, 2);
  ASSERT_EQ(image.width, 2);
  EXPECT_EQ(image.rgb, (Rgb{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));
}

TEST(DibConversion, TopDownWhenTheHeightIsNegative) {
  const std::vector<std::uint8_t> bits = {1, 2, 3, 0, 7, 8, 9, 0};
  const RgbImage image = ConvertDib(Header(1, -2, 24), bits, 1, 2);
  EXPECT_EQ(image.rgb, (Rgb{3, 2, 1, 9, 8, 7}));
}

TEST(DibConversion, SixteenBitIsFiveFiveFiveExpandedToEightBits) {
  // 0x7C00 red, 0x03E0 green, 0x001F blue, 0x4210 mid grey (16 of 31).
  const std::vector<std::uint8_t> bits = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42};
  const RgbImage image = ConvertDib(Header(4, 1, 16), bits, 4, 1);
  EXPECT_EQ(image.rgb, (Rgb{255, 0, 0, 0, 255, 0, 0, 0, 255, 132, 132, 132}));
}

TEST(DibConversion, ThirtyTwoBitIgnoresTheFourthByte) {
  const std::vector<std::uint8_t> bits = {10, 20, 30, 99, 40, 50, 60, 0};
  const RgbImage image = ConvertDib(Header(2, 1, 32), bits, 2, 1);
  EXPECT_EQ(image.rgb, (Rgb{30, 20, 10, 60, 50, 40}));
}

TEST(DibConversion, StretchingPicksTheNearestSourcePixelAndShrinkingAveragesTheArea) {
  // 2 x 1: left black, right white; stretched to 4 x 2 and shrunk to 1 x 1.
  const std::vector<std::uint8_t> bits = {0, 0, 0, 255, 255, 255, 0, 0};
  const RgbImage wide = ConvertDib(Header(2, 1, 24), bits, 4, 2);
  EXPECT_EQ(Pixel(wide, 1, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(Pixel(wide, 2, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(Pixel(wide, 3, 1), (Rgb{255, 255, 255}));
  EXPECT_EQ(ConvertDib(Header(2, 1, 24), bits, 1, 1).rgb, (Rgb{128, 128, 128}));
  EXPECT_EQ(ConvertDib(Header(2, 1, 24), bits, 0, 1).width, 0);
}

TEST(DibConversion, ShrinkingKeepsAThinLineThatPickingWouldDrop) {
  // 6 x 3 bottom-up: white, a red top row, a black column at x = 1. Shrunk to 2 x 1 each
  // pixel is the mean of 3 x 3: the line darkens the left one instead of vanishing.
  const std::size_t stride = 20;
  std::vector<std::uint8_t> bits(stride * 3, 255);
  for (std::size_t row = 0; row < 3; ++row) std::fill_n(bits.begin() + row * stride + 3, 3, 0);
  for (std::size_t x = 0; x < 6; ++x) bits[2 * stride + x * 3] = bits[2 * stride + x * 3 + 1] = 0;
  const RgbImage small = ConvertDib(Header(6, 3, 24), bits, 2, 1);
  EXPECT_EQ(Pixel(small, 0, 0), (Rgb{170, 113, 113}));
  EXPECT_EQ(Pixel(small, 1, 0), (Rgb{255, 170, 170}));
}

constexpr ControlTemplate kFrameOnly[] = {
    {ControlKind::kBlackFrame, 1000, "", {4, 8, 40, 40}, 0},
};
constexpr DialogTemplate kPictureDialog{1,        0x0409, {0, 0, 100, 100}, "Picture",
                                        "Tahoma", 8,      kFrameOnly};

TEST(DrawDibReuse, PaintsReuseTheConvertedImageUntilThePixelsChange) {
  headless::Session session;  // base units 6 x 13: the frame sits at 6, 13, 60 x 65
  Dialog dlg(kPictureDialog);
  std::vector<std::uint8_t> bits(4 * 2, 0);
  const BitmapInfoHeader header = Header(1, 2, 24);
  DrawDib drawer;
  session.set_driver([&](Dialog& d) {
    const DeviceContext dc = d.GetDlgItem(1000)->GetDC();
    ASSERT_TRUE(dc);
    EXPECT_TRUE(drawer.Draw(dc, {0, 0, 60, 65}, header, bits));
    EXPECT_TRUE(drawer.Draw(dc, {0, 0, 60, 65}, header, bits));
    EXPECT_EQ(drawer.conversion_count(), 1);
    bits[0] = 200;  // rewritten in place
    drawer.PixelsChanged();
    EXPECT_TRUE(drawer.Draw(dc, {0, 0, 60, 65}, header, bits));
    EXPECT_EQ(drawer.conversion_count(), 2);
    EXPECT_TRUE(drawer.Draw(dc, {0, 0, 30, 30}, header, bits));  // another size
    EXPECT_EQ(drawer.conversion_count(), 3);
    EXPECT_TRUE(drawer.Draw(dc, {50, 50, 100, 100}, header, bits));  // clipped to the frame
    EXPECT_FALSE(drawer.Draw(dc, {0, 0, 60, 65}, header, std::span(bits).first(7)));
    EXPECT_FALSE(drawer.Draw(DeviceContext{}, {0, 0, 60, 65}, header, bits));
  });
  dlg.DoModal();
  const auto& drawn = session.drawn_images();
  ASSERT_EQ(drawn.size(), 5u);
  EXPECT_EQ(drawn[0].control_id, 1000);
  EXPECT_EQ(drawn[0].dest, (Rect{6, 13, 66, 78}));
  EXPECT_EQ(drawn[0].image, drawn[1].image);
  EXPECT_EQ(Pixel(*drawn[2].image, 0, 64), (Rgb{0, 0, 200}));  // bottom row, B byte 200
  EXPECT_EQ(drawn[4].dest, (Rect{56, 63, 66, 78}));
  // No window, no device context.
  EXPECT_FALSE(drawer.Draw(DeviceContext{}, {0, 0, 1, 1}, header, bits));
}

TEST(FontChoice, EachLanguageGetsAFaceThatCoversItFirstInstalledWins) {
  EXPECT_EQ(FontFamiliesFor(0x0411), "Noto Sans CJK JP,WenQuanYi Micro Hei");
  EXPECT_EQ(FontFamiliesFor(0x0404), "Noto Sans CJK TC,WenQuanYi Micro Hei");
  EXPECT_EQ(FontFamiliesFor(0x0419), "DejaVu Sans,WenQuanYi Micro Hei");
  const auto only = [](std::string name) {
    return [name](const std::string& family) { return family == name; };
  };
  EXPECT_EQ(FirstInstalledFamily("A,B,C", only("B")), "B");
  EXPECT_EQ(FirstInstalledFamily("A,B,C", only("A")), "A");
  EXPECT_EQ(FirstInstalledFamily("A,B,C", only("none")), "C");
  EXPECT_EQ(PointsToPixels(8), 11);
  EXPECT_EQ(PointsToPixels(9), 12);
}

}  // namespace
}  // namespace platform::ui
