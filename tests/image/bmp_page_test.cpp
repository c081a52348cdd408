// Which BMP headers describe a page, and how many pixel bytes such a page needs.
#include "image/bmp_page.h"

#include <gtest/gtest.h>

#include "tests/image/bmp_test_file.h"

namespace {

using bmp_test::BmpLayout;
using bmp_test::MakeBmp;

BmpHeaders HeadersOf(const std::vector<std::uint8_t>& file) {
  return ParseBmpHeaders(
      std::span<const std::uint8_t, kBmpHeadersSize>(file.data(), kBmpHeadersSize));
}

std::optional<std::size_t> PixelBytesOf(const BmpLayout& layout) {
  const std::vector<std::uint8_t> file = MakeBmp(layout);
  return PageBmpPixelBytes(HeadersOf(file), file.size());
}

}  // namespace

TEST(BmpPage, ParsesTheOffsetAndEveryInfoHeaderField) {
  std::vector<std::uint8_t> file = MakeBmp({.width = 25, .height = 7, .pixel_offset = 66});
  for (std::size_t i = 38; i < 54; ++i) file[i] = static_cast<std::uint8_t>(i);
  const BmpHeaders h =
      ParseBmpHeaders(std::span<const std::uint8_t, kBmpHeadersSize>(file.data(), kBmpHeadersSize));
  EXPECT_EQ(h.pixel_offset, 66u);
  EXPECT_EQ(h.info.biSize, 40u);
  EXPECT_EQ(h.info.biWidth, 25);
  EXPECT_EQ(h.info.biHeight, 7);
  EXPECT_EQ(h.info.biPlanes, 1);
  EXPECT_EQ(h.info.biBitCount, 24);
  EXPECT_EQ(h.info.biCompression, 0u);
  EXPECT_EQ(h.info.biSizeImage, 76u * 7);
  EXPECT_EQ(h.info.biXPelsPerMeter, 0x29282726);
  EXPECT_EQ(h.info.biYPelsPerMeter, 0x2D2C2B2A);
  EXPECT_EQ(h.info.biClrUsed, 0x31302F2Eu);
  EXPECT_EQ(h.info.biClrImportant, 0x35343332u);
}

TEST(BmpPage, AcceptsUncompressedBottomUpPagesOf16And24And32Bits) {
  EXPECT_EQ(PixelBytesOf({.width = 25, .height = 3, .bit_count = 24}), 76u * 3);
  EXPECT_EQ(PixelBytesOf({.width = 3, .height = 2, .bit_count = 16}), 8u * 2);
  EXPECT_EQ(PixelBytesOf({.width = 3, .height = 2, .bit_count = 32}), 12u * 2);
}

TEST(BmpPage, RefusesFormatsAPageDoesNotUse) {
  EXPECT_FALSE(PixelBytesOf({.bit_count = 8}));
  EXPECT_FALSE(PixelBytesOf({.bit_count = 1}));
  EXPECT_FALSE(PixelBytesOf({.bit_count = 0}));
  EXPECT_FALSE(PixelBytesOf({.bit_count = 48}));
  EXPECT_FALSE(PixelBytesOf({.compression = 1}));  // RLE
  EXPECT_FALSE(PixelBytesOf({.compression = 3}));  // bit fields
  EXPECT_FALSE(PixelBytesOf({.colours_used = 16}));
  EXPECT_FALSE(PixelBytesOf({.height = -3}));  // top-down
  EXPECT_FALSE(PixelBytesOf({.width = 0}));
  EXPECT_FALSE(PixelBytesOf({.height = 0}));
  EXPECT_FALSE(PixelBytesOf({.width = -4}));
}

TEST(BmpPage, RefusesHeadersTheDibDrawingCannotShow) {
  std::vector<std::uint8_t> file = MakeBmp({});
  const auto headers = [&] {
    return ParseBmpHeaders(
        std::span<const std::uint8_t, kBmpHeadersSize>(file.data(), kBmpHeadersSize));
  };
  file[26] = 0;  // no plane
  EXPECT_FALSE(PageBmpPixelBytes(headers(), file.size()));
  file[26] = 1;
  file[14] = 12;  // the 12-byte core header of old BMPs
  EXPECT_FALSE(PageBmpPixelBytes(headers(), file.size()));
  file[14] = 124;  // a larger header whose first 40 bytes are the info header
  EXPECT_TRUE(PageBmpPixelBytes(headers(), file.size()));
}

TEST(BmpPage, RefusesAnImageSizeSmallerThanTheRows) {
  EXPECT_FALSE(PixelBytesOf({.width = 25, .height = 3, .image_size = 0}));
  EXPECT_FALSE(PixelBytesOf({.width = 25, .height = 3, .image_size = 76 * 3 - 1}));
  // Rows of 75 pixel bytes need their padding byte too.
  EXPECT_FALSE(PixelBytesOf({.width = 25, .height = 3, .image_size = 75 * 3}));
}

TEST(BmpPage, AllocatesForTheDimensionsNotForALargerImageSize) {
  EXPECT_EQ(PixelBytesOf({.width = 4, .height = 3, .image_size = 0xFFFFFFF0}), 12u * 3);
}

TEST(BmpPage, RefusesDimensionsFarBeyondTheFile) {
  // About 4 GB of rows claimed by a file of a few hundred bytes.
  EXPECT_FALSE(PixelBytesOf({.width = 32767,
                             .height = 32767,
                             .bit_count = 32,
                             .image_size = 0xFFFFFFFF,
                             .pixel_bytes = 100}));
  EXPECT_FALSE(PixelBytesOf({.width = 40000, .height = 1, .pixel_bytes = 100}));
  EXPECT_FALSE(PixelBytesOf({.width = 1, .height = 40000, .pixel_bytes = 100}));
  EXPECT_FALSE(PixelBytesOf({.width = 4, .height = 3, .pixel_offset = 5000, .pixel_bytes = 0}));
}

TEST(BmpPage, ARefusalNamesTheRuleTheFileBreaks) {
  const struct {
    BmpLayout layout;
    const char* rule;
  } cases[] = {
      {{.bit_count = 8}, "8 bits per pixel (needs 16, 24 or 32)"},
      {{.colours_used = 16}, "colour table of 16 entries"},
      {{.height = -3}, "top-down rows (negative height)"},
      {{.width = 0}, "no pixels (0x3)"},
      {{.width = 40000, .height = 1},
       "too large: 40000x1 (at most 32767 pixels each way and 64 Mpixel)"},
      {{.width = 4, .height = 3, .image_size = 35},
       "image size field 35 smaller than the 36 bytes of the rows"},
      {{.width = 4, .height = 10, .pixel_bytes = 59}, "file holds 59 of 120 pixel bytes"},
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> file = MakeBmp(c.layout);
    std::string refusal;
    EXPECT_FALSE(PageBmpPixelBytes(HeadersOf(file), file.size(), &refusal));
    EXPECT_EQ(refusal, c.rule);
  }
}

// More pixels than the drawing converts would load and never show.
TEST(BmpPage, RefusesAPageOfMoreThan64Mpixel) {
  const std::uint64_t large_file = std::uint64_t{1} << 32;
  EXPECT_TRUE(PageBmpPixelBytes(
      HeadersOf(MakeBmp({.width = 8192, .height = 8192, .pixel_bytes = 0})), large_file));
  EXPECT_FALSE(PageBmpPixelBytes(
      HeadersOf(MakeBmp({.width = 8193, .height = 8192, .pixel_bytes = 0})), large_file));
}

TEST(BmpPage, AcceptsAPageCutShortByLessThanHalf) {
  EXPECT_EQ(PixelBytesOf({.width = 4, .height = 10, .pixel_bytes = 60}), 12u * 10);
  EXPECT_FALSE(PixelBytesOf({.width = 4, .height = 10, .pixel_bytes = 59}));
}
