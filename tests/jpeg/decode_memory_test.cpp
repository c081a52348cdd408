// The one-call decode: the same pixels as the record-based reads in every output colour,
// top-down rows without padding, and no buffer handed out on failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/peer_codec.h"

namespace {

using setuvia::jpegtest::EncodeTestImage;
using setuvia::jpegtest::OpenRecord;
using setuvia::jpegtest::PeerSampling;

// The record-based decode into a top-down buffer of `channels` bytes per pixel.
std::vector<uint8_t> DecodeWithRecord(const std::vector<uint8_t>& jpeg, int32_t color,
                                      uint32_t channels) {
  JPEG_PROPERTIES p;
  EXPECT_EQ(OpenRecord(jpeg, p), 0);
  EXPECT_EQ(JpegRead(&p, READ_PARAMS_BUFFER), 0);
  std::vector<uint8_t> pixels(size_t{p.jpeg_width} * p.jpeg_height * channels);
  p.dib_pixels = pixels.data();
  p.dib_width = p.jpeg_width;
  p.dib_height = static_cast<int32_t>(p.jpeg_height);
  p.dib_channels = channels;
  p.dib_color = static_cast<uint32_t>(color);
  EXPECT_EQ(JpegRead(&p, READ_IMAGE_BUFFER), 0);
  JpegFree(&p);
  return pixels;
}

TEST(DecodeMemory, GivesTheRecordReadsPixelsInEveryColour) {
  const std::vector<uint8_t> jpeg = EncodeTestImage(37, 21, PeerSampling::k420, 90);
  const struct {
    int32_t color;
    uint32_t channels;
  } layouts[] = {{COLOR_RGB, 3}, {COLOR_BGR, 3}, {COLOR_RGBA, 4}, {COLOR_GRAY, 1}};
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.color);
    uint8_t* pixels = nullptr;
    uint32_t width = 0, height = 0, stride = 0;
    ASSERT_EQ(JpegDecodeMemory(jpeg.data(), static_cast<uint32_t>(jpeg.size()), layout.color,
                               &pixels, &width, &height, &stride),
              0);
    EXPECT_EQ(width, 37u);
    EXPECT_EQ(height, 21u);
    EXPECT_EQ(stride, 37u * layout.channels);
    const std::vector<uint8_t> expected = DecodeWithRecord(jpeg, layout.color, layout.channels);
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + size_t{stride} * height), expected);
    std::free(pixels);
  }
}

TEST(DecodeMemory, HandsOutNoBufferOnFailure) {
  const std::vector<uint8_t> jpeg = EncodeTestImage(16, 16, PeerSampling::k444, 90);
  const uint32_t size = static_cast<uint32_t>(jpeg.size());
  uint32_t width = 0, height = 0, stride = 0;
  uint8_t* pixels = reinterpret_cast<uint8_t*>(&width);  // must be cleared
  EXPECT_EQ(JpegDecodeMemory(jpeg.data(), size, COLOR_YCBCR, &pixels, &width, &height, &stride),
            JPEG_ERR_INVALID_PROPERTIES);
  EXPECT_EQ(pixels, nullptr);
  EXPECT_EQ(JpegDecodeMemory(nullptr, size, COLOR_RGB, &pixels, &width, &height, &stride),
            JPEG_ERR_INVALID_PROPERTIES);
  EXPECT_EQ(JpegDecodeMemory(jpeg.data(), size, COLOR_RGB, nullptr, &width, &height, &stride),
            JPEG_ERR_INVALID_PROPERTIES);
  const uint8_t not_jpeg[] = {'B', 'M', 0, 0, 0, 0};
  EXPECT_LT(
      JpegDecodeMemory(not_jpeg, sizeof not_jpeg, COLOR_RGB, &pixels, &width, &height, &stride), 0);
  EXPECT_EQ(pixels, nullptr);
  // Cut inside the scan: a failure, so no partial buffer either.
  EXPECT_EQ(JpegDecodeMemory(jpeg.data(), size - 40, COLOR_RGB, &pixels, &width, &height, &stride),
            JPEG_ERR_MEMORY);
  EXPECT_EQ(pixels, nullptr);
}

}  // namespace
