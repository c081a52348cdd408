// Loading page files into CDibImage: the loader follows the extension, a BMP's rows arrive in
// the buffer as stored, and every failure leaves the object empty.
#include "image/dib_image.h"

#include <gtest/gtest.h>

#include "image/jpeg_page.h"
#include "tests/image/bmp_test_file.h"
#include "tests/jpeg/support/peer_codec.h"

namespace {

using bmp_test::MakeBmp;
using bmp_test::WriteFile;

class DibImageLoad : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = m_folder.Folder() + name;
    WriteFile(path, bytes);
    return path;
  }

  bmp_test::TempFolder m_folder{"dib-image-test"};
  CDibImage m_image;
  BitmapInfoHeader m_header;
};

}  // namespace

TEST_F(DibImageLoad, BottomUp24BitBmpLoadsItsRowsExactly) {
  const std::vector<std::uint8_t> file = MakeBmp({.width = 25, .height = 3});
  const std::string path = Write("page.bmp", file);
  ASSERT_TRUE(m_image.Load(path, m_header));
  EXPECT_EQ(m_header.biWidth, 25);
  EXPECT_EQ(m_header.biHeight, 3);
  EXPECT_EQ(m_header.biBitCount, 24);
  EXPECT_EQ(m_image.FileType(), IMAGE_TYPE_BMP);
  EXPECT_EQ(m_image.Path(), path);
  EXPECT_EQ(m_image.DataSize(), 76u * 3);
  const std::vector<std::uint8_t> rows(file.begin() + 54, file.end());
  EXPECT_EQ(std::vector<std::uint8_t>(m_image.Pixels().begin(), m_image.Pixels().end()), rows);
}

TEST_F(DibImageLoad, PixelDataIsReadFromTheOffsetPastAnySkippedBytes) {
  const std::vector<std::uint8_t> file = MakeBmp({.width = 2, .height = 2, .pixel_offset = 70});
  ASSERT_TRUE(m_image.Load(Write("gap.bmp", file), m_header));
  EXPECT_EQ(m_image.Pixels()[0], bmp_test::PixelByte(0));
  EXPECT_EQ(m_image.Pixels()[15], bmp_test::PixelByte(15));
}

TEST_F(DibImageLoad, BytesMissingFromAShortFileReadAsZero) {
  const std::vector<std::uint8_t> file = MakeBmp({.width = 4, .height = 10, .pixel_bytes = 100});
  ASSERT_TRUE(m_image.Load(Write("short.bmp", file), m_header));
  ASSERT_EQ(m_image.Pixels().size(), 120u);
  EXPECT_EQ(m_image.Pixels()[99], bmp_test::PixelByte(99));
  for (std::size_t i = 100; i < 120; ++i) EXPECT_EQ(m_image.Pixels()[i], 0) << i;
}

TEST_F(DibImageLoad, ImageSizeZeroFailsToLoad) {
  EXPECT_FALSE(m_image.Load(Write("zero.bmp", MakeBmp({.image_size = 0})), m_header));
  EXPECT_FALSE(m_image.HasPixels());
}

TEST_F(DibImageLoad, HeadersCutShortOrEmptyFileFail) {
  const std::vector<std::uint8_t> file = MakeBmp({});
  EXPECT_FALSE(m_image.Load(Write("cut.bmp", {file.begin(), file.begin() + 30}), m_header));
  EXPECT_FALSE(m_image.Load(Write("empty.bmp", {}), m_header));
  EXPECT_FALSE(m_image.Load(Write("empty.jpg", {}), m_header));
  EXPECT_FALSE(m_image.HasPixels());
}

TEST_F(DibImageLoad, TheTypeComesFromTheNameNeverTheContent) {
  const std::vector<std::uint8_t> bmp = MakeBmp({});
  EXPECT_FALSE(m_image.Load(Write("page.txt", bmp), m_header));
  EXPECT_EQ(m_image.FileType(), IMAGE_TYPE_NONE);
  EXPECT_FALSE(m_image.Load(Write("page.jpeg", bmp), m_header));
  // A JPEG stream named .bmp goes to the BMP loader, whose rules it fails.
  const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'};
  EXPECT_FALSE(m_image.Load(Write("photo.bmp", jpeg), m_header));
  EXPECT_EQ(m_image.FileType(), IMAGE_TYPE_BMP);
}

TEST_F(DibImageLoad, AFailedLoadEmptiesTheObjectAndKeepsTheNewPath) {
  BitmapInfoHeader kept;
  ASSERT_TRUE(m_image.Load(Write("a.bmp", MakeBmp({.width = 7, .height = 5})), kept));
  const std::string missing = m_folder.Folder() + "missing.bmp";
  m_header.biWidth = 123;
  EXPECT_FALSE(m_image.Load(missing, m_header));
  EXPECT_EQ(m_header.biWidth, 123) << "the caller's header is written only on success";
  EXPECT_FALSE(m_image.HasPixels());
  EXPECT_EQ(m_image.DataSize(), 0u);
  EXPECT_EQ(m_image.Header().biWidth, 0);
  EXPECT_EQ(m_image.Path(), missing);
}

TEST_F(DibImageLoad, AHugeClaimInATinyFileIsRefusedWithoutAllocating) {
  const std::vector<std::uint8_t> file = MakeBmp({.width = 32767,
                                                  .height = 32767,
                                                  .bit_count = 32,
                                                  .image_size = 0xFFFFFFFF,
                                                  .pixel_bytes = 46});
  ASSERT_EQ(file.size(), 100u);
  EXPECT_FALSE(m_image.Load(Write("bomb.bmp", file), m_header));
  EXPECT_FALSE(m_image.HasPixels());
}

TEST_F(DibImageLoad, AJpegThatFailsToDecodeKeepsTheFileLengthAsDataSize) {
  EXPECT_FALSE(m_image.Load(Write("broken.jpg", {0xFF, 0xD8, 0xFF, 0xC0, 0x00}), m_header));
  EXPECT_FALSE(m_image.HasPixels());
  EXPECT_EQ(m_image.FileType(), IMAGE_TYPE_JPEG);
  EXPECT_EQ(m_image.DataSize(), 5u);
}

TEST_F(DibImageLoad, AJpegPageHoldsWhatTheHandOverDecodes) {
  const std::vector<std::uint8_t> jpeg =
      setuvia::jpegtest::EncodeTestImage(41, 23, setuvia::jpegtest::PeerSampling::k420, 85);
  ASSERT_TRUE(m_image.Load(Write("page.Jpg", jpeg), m_header));
  BitmapInfoHeader decoded;
  const std::vector<std::uint8_t> pixels = DecodeJpegFromMemory(jpeg.data(), jpeg.size(), &decoded);
  EXPECT_EQ(m_header.biWidth, 41);
  EXPECT_EQ(m_header.biHeight, 23);
  EXPECT_EQ(m_header.biSizeImage, decoded.biSizeImage);
  EXPECT_EQ(m_image.FileType(), IMAGE_TYPE_JPEG);
  EXPECT_EQ(m_image.DataSize(), jpeg.size());
  EXPECT_EQ(std::vector<std::uint8_t>(m_image.Pixels().begin(), m_image.Pixels().end()), pixels);
}
