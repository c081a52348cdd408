// The entry operations: defaults after JpegInit, validation in its order, status
// texts, and the read bookkeeping (failed reads change no public output field, a file
// read continues where the previous one stopped).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "jpeg/jpeg_codec.h"
#include "stream_builder.h"
#include "tests/platform/temp_folder.h"

namespace {

using jpeg_test::Bytes;
using jpeg_test::StreamBuilder;

class CodecInterface : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&p_, 0, sizeof p_);
    ASSERT_EQ(JpegInit(&p_), 0);
    p_.jpeg_buffer = image_;
    p_.jpeg_buffer_size = sizeof image_;
    p_.dib_pixels = pixels_;
    p_.dib_width = 4;
    p_.dib_height = 4;
  }
  void TearDown() override { EXPECT_EQ(JpegFree(&p_), 0); }
  JPEG_PROPERTIES p_;
  uint8_t image_[4] = {0xFF, 0xD8, 0xFF, 0xD9};
  uint8_t pixels_[64] = {};
};

TEST_F(CodecInterface, InitSetsTheDefaults) {
  JPEG_PROPERTIES q;
  std::memset(&q, 0, sizeof q);
  ASSERT_EQ(JpegInit(&q), 0);
  EXPECT_EQ(q.dib_channels, 3u);
  EXPECT_EQ(q.dib_color, static_cast<uint32_t>(COLOR_BGR));
  EXPECT_EQ(q.jpeg_channels, 3u);
  EXPECT_EQ(q.jpeg_color, static_cast<uint32_t>(COLOR_YCBCR));
  EXPECT_EQ(q.jpeg_subsampling, 1u);
  EXPECT_EQ(q.color_convert_flag, 1u);
  EXPECT_EQ(q.upsample_flag, 1u);
  EXPECT_EQ(q.quality, 75u);
  EXPECT_EQ(q.state.io_mode, -1);
  EXPECT_EQ(q.state.dct_method, DCT_METHOD_PRECISE);
  EXPECT_EQ(q.state.frame_needed, 1);
  EXPECT_EQ(q.state.jfif_version, 0x0101);
  EXPECT_EQ(q.state.adobe_version, 100);
  EXPECT_NE(q.state.routine_table, nullptr);
  EXPECT_EQ(JpegFree(&q), 0);
  EXPECT_EQ(q.state.routine_table, nullptr);
}

TEST_F(CodecInterface, ModesOutsideTheReadModesAreInvalid) {
  for (int32_t mode : {-1, 22, 100}) EXPECT_EQ(JpegRead(&p_, mode), JPEG_ERR_INVALID_PROPERTIES);
}

TEST_F(CodecInterface, EncoderModesAreNotSupported) {
  EXPECT_EQ(JpegRead(&p_, 9), JPEG_ERR_NOT_SUPPORTED);
}

TEST_F(CodecInterface, ImageReadWithoutBufferSizeIsInvalidAndWritesNothing) {
  p_.jpeg_buffer_size = 0;
  EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  for (uint8_t b : pixels_) ASSERT_EQ(b, 0);
}

TEST_F(CodecInterface, PixelBufferLimitsAreChecked) {
  p_.dib_width = 65536;
  EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  p_.dib_width = 0;
  EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  p_.dib_width = 4;
  p_.dib_height = -65536;
  EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  p_.dib_pixels = nullptr;
  p_.dib_height = 4;
  EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  p_.dib_pixels = pixels_;
  p_.dib_channels = 256;
  EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
}

TEST_F(CodecInterface, PadOrExtentThatWrapsTheRowStrideIsRefusedUntouched) {
  for (uint32_t pad : {0x80000000u, 0x7FFFFFF8u, 0xFFFFFFFFu}) {
    p_.dib_pad_bytes = pad;
    EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES) << pad;
  }
  p_.dib_pad_bytes = 0;
  p_.dib_pixels = reinterpret_cast<uint8_t*>(UINTPTR_MAX - 8);  // rows would wrap the address
  EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  for (uint8_t b : pixels_) ASSERT_EQ(b, 0);
}

TEST_F(CodecInterface, PixelBufferIsCheckedUnlessCoefficientsReplacePixels) {
  JpegRawCoefficients raw{};
  raw.data_kind = 1;
  p_.state.raw_coefficients = &raw;
  p_.dib_pixels = nullptr;
  EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  raw.data_kind = 0;
  EXPECT_NE(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  p_.state.raw_coefficients = nullptr;
}

TEST_F(CodecInterface, FileModesOpenRegularFilesOnly) {
  const TempFolder folder;
  const std::string fifo = folder.Path() + "fifo.jpg";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& name : {fifo, std::string("/dev/zero"), folder.Path()}) {
    p_.jpeg_file = name.c_str();
    EXPECT_EQ(JpegRead(&p_, READ_PARAMS_FILE), JPEG_ERR_FILE_NAME) << name;
  }
}

TEST_F(CodecInterface, ParameterReadNeedsNoPixelBuffer) {
  p_.dib_pixels = nullptr;
  p_.dib_width = 0;
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_BUFFER), 0);
}

TEST_F(CodecInterface, ThumbnailReadNeedsRgbOrBgr) {
  p_.dib_color = COLOR_YCBCR;
  EXPECT_EQ(JpegRead(&p_, READ_THUMBNAIL_BUFFER), JPEG_ERR_THUMB_COLOR);
}

TEST_F(CodecInterface, BufferSubsamplingOtherThanTwoWithYcbcrIsUnsupported) {
  p_.dib_subsampling = 1;
  EXPECT_EQ(JpegRead(&p_, READ_IMAGE_BUFFER), JPEG_ERR_SUBSAMPLING);
}

TEST_F(CodecInterface, ColourCombinationsFollowTheTable) {
  p_.jpeg_color = COLOR_GRAY;
  p_.jpeg_channels = 1;
  p_.dib_color = COLOR_BGR;
  p_.dib_channels = 3;
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_BUFFER), 0);
  p_.jpeg_color = COLOR_GRAY;
  p_.jpeg_channels = 1;
  p_.dib_channels = 4;
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  p_.jpeg_color = COLOR_OTHER;
  p_.jpeg_channels = 2;
  p_.dib_color = COLOR_OTHER;
  p_.dib_channels = 7;
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_BUFFER), 0);
}

TEST_F(CodecInterface, DctMethodAndSmoothUpsamplingAreChecked) {
  p_.state.dct_method = 2;
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  p_.state.dct_method = DCT_METHOD_FAST;
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_BUFFER), 0);
  JpegRawCoefficients raw{};
  p_.state.raw_coefficients = &raw;
  p_.state.smooth_upsampling = 1;
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_BUFFER), JPEG_ERR_INVALID_PROPERTIES);
  p_.state.raw_coefficients = nullptr;
}

TEST_F(CodecInterface, FailedReadLeavesThePublicFieldsAsTheyWere) {
  const Bytes stream = StreamBuilder().Soi().Frame420(300, 200).Raw({0xFF, 0xC4, 0, 1}).bytes();
  p_.jpeg_buffer = stream.data();
  p_.jpeg_buffer_size = static_cast<uint32_t>(stream.size());
  p_.jpeg_width = 11;
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_BUFFER), JPEG_ERR_DATA);
  EXPECT_EQ(p_.jpeg_width, 11u);
  EXPECT_EQ(p_.jpeg_subsampling, 1u);
}

TEST_F(CodecInterface, BottomUpBufferStartsAtTheLastRow) {
  p_.dib_height = -4;
  p_.dib_pad_bytes = 4;
  (void)JpegRead(&p_, READ_IMAGE_BUFFER);
  EXPECT_EQ(p_.state.output_start, pixels_ + 3 * 16);
  EXPECT_EQ(p_.state.row_stride, -16);
}

TEST_F(CodecInterface, MissingFileIsInvalidFileName) {
  p_.jpeg_file = "/nonexistent/setuvia.jpg";
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_FILE), JPEG_ERR_FILE_NAME);
  p_.jpeg_file = nullptr;
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_FILE), JPEG_ERR_INVALID_PROPERTIES);
}

TEST_F(CodecInterface, FileReadContinuesWhereThePreviousStopped) {
  Bytes stream = StreamBuilder().Soi().QuantTable(0, 9).Eoi().bytes();
  const Bytes image = StreamBuilder().Soi().Frame420(48, 32).Scan({1, 2, 3}).bytes();
  stream.insert(stream.end(), image.begin(), image.end());
  const TempFolder folder;
  const std::string path =
      folder.Write("continue.jpg", {reinterpret_cast<const char*>(stream.data()), stream.size()});
  p_.jpeg_file = path.c_str();
  EXPECT_EQ(JpegRead(&p_, READ_TABLES_FILE), 0);
  EXPECT_EQ(p_.state.quant_tables[0].values[0], 9);
  EXPECT_EQ(JpegRead(&p_, READ_TABLES_FILE), 0);  // reopened: the same tables again
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_FILE), 0);
  EXPECT_EQ(p_.jpeg_width, 0u);                   // a tables-only stream has no frame
  EXPECT_EQ(JpegRead(&p_, READ_PARAMS_FILE), 0);  // the file stayed open: the image follows
  EXPECT_EQ(p_.jpeg_width, 48u);
}

TEST_F(CodecInterface, NullAndUninitialisedRecordsAreRefused) {
  EXPECT_EQ(JpegRead(nullptr, 1), JPEG_ERR_INVALID_PROPERTIES);
  JPEG_PROPERTIES zero;
  std::memset(&zero, 0, sizeof zero);
  EXPECT_EQ(JpegRead(&zero, 1), JPEG_ERR_INVALID_PROPERTIES);
}

TEST(StatusTexts, EveryCodeHasItsText) {
  EXPECT_STREQ(JpegErrorText(2), "ROI Success");
  EXPECT_STREQ(JpegErrorText(0), "Success");
  EXPECT_STREQ(JpegErrorText(-8), "Invalid JPEG_PROPERTIES");
  EXPECT_STREQ(JpegErrorText(-20), "Multiply frame");
  EXPECT_STREQ(JpegErrorText(-30), "Error access to jpeg_comment buffer");
  EXPECT_STREQ(JpegErrorText(-99), "Reserved");
  EXPECT_STREQ(JpegErrorText(-31), "Unknown error code");
  EXPECT_STREQ(JpegErrorText(3), "Unknown error code");
  for (int32_t code = -30; code <= 2; ++code)
    EXPECT_STRNE(JpegErrorText(code), "Unknown error code");
}

TEST(VersionInfo, NamesTheCodec) {
  const JpegVersionInfo* info = JpegGetVersionInfo();
  EXPECT_EQ(info->major, 1);
  EXPECT_STREQ(info->library_name, "jpegcodec");
  EXPECT_STREQ(info->version, "1.0.0");
  EXPECT_STREQ(info->internal_version, "[1.0.0.0]");
  EXPECT_EQ(std::strlen(info->build_date), 11u);
}

}  // namespace
