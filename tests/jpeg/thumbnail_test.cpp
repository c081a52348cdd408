// Thumbnail reads: the JFIF and JFXX pictures of small hand-made files, delivered byte for
// byte in RGB or BGR order into top-down and bottom-up bitmaps; a bitmap too small, a
// payload cut short and a file without a thumbnail end with their own status, unwritten.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/stream_builder.h"
#include "tests/jpeg/support/peer_codec.h"

namespace {

using jpeg_test::Bytes;
using jpeg_test::StreamBuilder;

constexpr uint8_t kUnwritten = 0x5A;

// The RGB triples of a 2x2 picture, rows top to bottom.
const Bytes kRgb2x2 = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};

Bytes Jfif(uint8_t width, uint8_t height, const Bytes& pixels) {
  Bytes p = {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 72, 0, 72, width, height};
  p.insert(p.end(), pixels.begin(), pixels.end());
  return p;
}

Bytes Jfxx(uint8_t code, const Bytes& data) {
  Bytes p = {'J', 'F', 'X', 'X', 0, code};
  p.insert(p.end(), data.begin(), data.end());
  return p;
}

// JFXX 0x11: 2x2 indices 0..3 into a palette whose entries 0..3 are the triples above.
Bytes Palette2x2() {
  Bytes data = {2, 2};
  Bytes palette(768, 0);
  std::copy(kRgb2x2.begin(), kRgb2x2.end(), palette.begin());
  data.insert(data.end(), palette.begin(), palette.end());
  data.insert(data.end(), {0, 1, 2, 3});
  return Jfxx(0x11, data);
}

Bytes FileWith(const Bytes& app0) {
  return StreamBuilder().Soi().Segment(0xE0, app0).Eoi().bytes();
}

struct ThumbnailRead {
  int32_t status;
  uint32_t thumb_width, thumb_height;
  Bytes pixels;  // the bitmap, padding included
};

// A thumbnail read into a width x height bitmap of 3 bytes a pixel and rows padded to 4.
ThumbnailRead ReadThumbnail(const Bytes& jpeg, uint32_t width, int32_t height, uint32_t color) {
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  EXPECT_EQ(JpegInit(&p), 0);
  const uint32_t stride = (width * 3 + 3) / 4 * 4;
  Bytes bitmap(stride * static_cast<uint32_t>(height < 0 ? -height : height), kUnwritten);
  p.jpeg_buffer = jpeg.data();
  p.jpeg_buffer_size = static_cast<uint32_t>(jpeg.size());
  p.dib_pixels = bitmap.data();
  p.dib_width = width;
  p.dib_height = height;
  p.dib_pad_bytes = stride - width * 3;
  p.dib_color = color;
  const int32_t status = JpegRead(&p, READ_THUMBNAIL_BUFFER);
  ThumbnailRead read{status, p.thumb_width, p.thumb_height, bitmap};
  JpegFree(&p);
  return read;
}

// The 2x2 picture as a 2x2 bitmap with rows padded to 8 bytes, top-down.
Bytes Expected2x2(uint32_t color) {
  Bytes out;
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 2; ++x) {
      const uint8_t* rgb = &kRgb2x2[(row * 2 + x) * 3];
      if (color == COLOR_RGB)
        out.insert(out.end(), {rgb[0], rgb[1], rgb[2]});
      else
        out.insert(out.end(), {rgb[2], rgb[1], rgb[0]});
    }
    out.insert(out.end(), {kUnwritten, kUnwritten});
  }
  return out;
}

TEST(ThumbnailRead, DeliversEveryUncompressedKindByteForByteInTheColourAsked) {
  const struct {
    const char* name;
    Bytes app0;
  } kinds[] = {{"JFIF", Jfif(2, 2, kRgb2x2)},
               {"JFXX RGB", Jfxx(0x13,
                                 [] {
                                   Bytes d = {2, 2};
                                   d.insert(d.end(), kRgb2x2.begin(), kRgb2x2.end());
                                   return d;
                                 }())},
               {"JFXX palette", Palette2x2()}};
  for (const auto& kind : kinds) {
    for (const uint32_t color : {COLOR_RGB, COLOR_BGR}) {
      SCOPED_TRACE(testing::Message() << kind.name << " colour " << color);
      const ThumbnailRead read = ReadThumbnail(FileWith(kind.app0), 2, 2, color);
      EXPECT_EQ(read.status, 0);
      EXPECT_EQ(read.thumb_width, 2u);
      EXPECT_EQ(read.thumb_height, 2u);
      EXPECT_EQ(read.pixels, Expected2x2(color));
    }
  }
}

TEST(ThumbnailRead, ABottomUpBitmapTakesTheTopRowLast) {
  const ThumbnailRead read = ReadThumbnail(FileWith(Jfif(2, 2, kRgb2x2)), 2, -2, COLOR_RGB);
  ASSERT_EQ(read.status, 0);
  const Bytes top_down = Expected2x2(COLOR_RGB);
  EXPECT_EQ(Bytes(read.pixels.begin(), read.pixels.begin() + 8),
            Bytes(top_down.begin() + 8, top_down.end()));
  EXPECT_EQ(Bytes(read.pixels.begin() + 8, read.pixels.end()),
            Bytes(top_down.begin(), top_down.begin() + 8));
}

// A JPEG-coded thumbnail gives the pixels the codec decodes from that stream on its own.
TEST(ThumbnailRead, AJpegCodedThumbnailIsDecodedByTheCodec) {
  const Bytes thumbnail =
      setuvia::jpegtest::EncodeTestImage(16, 8, setuvia::jpegtest::PeerSampling::k420, 90);
  const ThumbnailRead read = ReadThumbnail(FileWith(Jfxx(0x10, thumbnail)), 16, 8, COLOR_BGR);
  ASSERT_EQ(read.status, 0);
  EXPECT_EQ(read.thumb_width, 16u);
  EXPECT_EQ(read.thumb_height, 8u);
  const ThumbnailRead direct = [&] {
    JPEG_PROPERTIES p;
    std::memset(&p, 0, sizeof p);
    EXPECT_EQ(JpegInit(&p), 0);
    Bytes bitmap(16 * 3 * 8, kUnwritten);
    p.jpeg_buffer = thumbnail.data();
    p.jpeg_buffer_size = static_cast<uint32_t>(thumbnail.size());
    p.dib_pixels = bitmap.data();
    p.dib_width = 16;
    p.dib_height = 8;
    const int32_t status = JpegRead(&p, READ_IMAGE_BUFFER);
    JpegFree(&p);
    return ThumbnailRead{status, 16, 8, bitmap};
  }();
  ASSERT_EQ(direct.status, 0);
  EXPECT_EQ(read.pixels, direct.pixels);
}

TEST(ThumbnailRead, FailuresLeaveTheBitmapUnwritten) {
  const struct {
    const char* name;
    Bytes jpeg;
    uint32_t width;
    int32_t height;
    int32_t status;
  } cases[] = {
      {"bitmap one column short", FileWith(Jfif(2, 2, kRgb2x2)), 1, 2, JPEG_ERR_THUMB_TOO_SMALL},
      {"bitmap one row short", FileWith(Palette2x2()), 2, -1, JPEG_ERR_THUMB_TOO_SMALL},
      {"pixels cut short", FileWith(Jfif(2, 2, Bytes(kRgb2x2.begin(), kRgb2x2.end() - 1))), 2, 2,
       JPEG_ERR_DATA},
      {"no thumbnail", FileWith(Jfif(0, 0, {})), 2, 2, JPEG_ERR_NO_IMAGE},
      {"no APP0 at all", StreamBuilder().Soi().Eoi().bytes(), 2, 2, JPEG_ERR_NO_IMAGE},
  };
  for (const auto& c : cases) {
    const ThumbnailRead read = ReadThumbnail(c.jpeg, c.width, c.height, COLOR_RGB);
    EXPECT_EQ(read.status, c.status) << c.name;
    EXPECT_EQ(read.pixels, Bytes(read.pixels.size(), kUnwritten)) << c.name;
  }
}

}  // namespace
