// Generic output: expansion for any sampling against a nearest-neighbour reference
// (pixel x takes sample floor(x * H / Hmax)), the in-place colour equations, the
// block-by-block writers of non-interleaved images and the colour pass at EOI.
#include "jpeg/generic_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "jpeg/idct.h"
#include "jpeg/read_modes.h"
#include "tests/jpeg/output_rig.h"

namespace {

using jpeg_test::OutputRig;
using Factors = std::vector<std::pair<int, int>>;

int16_t Pattern(int c, int x, int y) {
  return static_cast<int16_t>((c * 80 + x * 5 + y * 11) & 0xFF);
}

int Clamp(double v) {
  return static_cast<int>(std::clamp(v, 0.0, 255.0));
}
int FloorDiv256(int v) {
  return static_cast<int>(std::floor(v / 256.0));
}

struct Rgb {
  int r, g, b;
};
// The in-place equations: the green term is the floor of the negated sum.
Rgb InPlace(int y, int cb, int cr) {
  return {Clamp(y + FloorDiv256(359 * cr - 45813)),
          Clamp(y + FloorDiv256(34806 - 88 * cb - 183 * cr)),
          Clamp(y + FloorDiv256(454 * cb - 57937))};
}
// The dedicated paths' green: the negated floor of the sum.
int DedicatedGreen(int y, int cb, int cr) {
  return Clamp(y - FloorDiv256(88 * cb + 183 * cr - 34806));
}

// The sample component c shows at image pixel (x, y).
int Expected(const Factors& f, int c, int x, int y) {
  int h_max = 1, v_max = 1;
  for (const auto& [h, v] : f) h_max = std::max(h_max, h), v_max = std::max(v_max, v);
  return Pattern(c, x * f[c].first / h_max, y * f[c].second / v_max);
}

void WriteAllMcus(OutputRig& rig) {
  const JpegFrameHeader& f = rig.state().frame;
  const int across = static_cast<int>((f.width + f.mcu_width - 1) / f.mcu_width);
  const int down = static_cast<int>((f.height + f.mcu_height - 1) / f.mcu_height);
  for (int row = 0; row < down; ++row)
    for (int column = 0; column < across; ++column) {
      rig.FillMcu(column, row, Pattern);
      ASSERT_EQ(rig.Write(jpeg::WriteGenericMcu, column, row), JPEG_SUCCESS);
    }
}

// Every block of component c in a scan of that component alone (T.81 A.2.1).
template <typename Writer>
void WriteComponentBlocks(OutputRig& rig, int c, Writer writer) {
  const JpegFrameHeader& f = rig.state().frame;
  const int h = f.components[c].h, v = f.components[c].v;
  const int columns = (static_cast<int>(f.width) * h + f.h_max - 1) / f.h_max;
  const int rows = (static_cast<int>(f.height) * v + f.v_max - 1) / f.v_max;
  rig.state().output_component = c;
  for (int by = 0; by < (rows + 7) / 8; ++by)
    for (int bx = 0; bx < (columns + 7) / 8; ++bx) {
      rig.FillComponentBlock(c, bx, by, Pattern);
      ASSERT_EQ(rig.WriteBlock(writer, c, bx, by), JPEG_SUCCESS);
    }
}

TEST(InPlaceConversion, MidGrayStaysMidGrayWhereTheDedicatedGreenGivesOneMore) {
  OutputRig rig;
  rig.SetFrame(1, 1, {{1, 1}, {1, 1}, {1, 1}}, COLOR_YCBCR);
  rig.SetBuffer(1, 1, 3, 0, COLOR_RGB, 1);
  for (int ch = 0; ch < 3; ++ch) rig.At(0, 0, ch) = 128;
  jpeg::ConvertPixelsInPlace(rig.state(), {0, 0, 1, 1}, rig.state().output_start);
  EXPECT_EQ(rig.At(0, 0, 0), 128);
  EXPECT_EQ(rig.At(0, 0, 1), 128);
  EXPECT_EQ(rig.At(0, 0, 2), 128);
  EXPECT_EQ(DedicatedGreen(128, 128, 128), 129);
}

TEST(InPlaceConversion, FollowsTheEquationsInEachChannelOrder) {
  // Every (Cb, Cr) pair once, with Y varying across the image.
  struct Case {
    uint32_t dib_color, jpeg_color;
    int channels;
  };
  auto luma = [](int x, int y) { return (x * 7 + y * 13) & 0xFF; };
  for (const Case c : {Case{COLOR_RGB, COLOR_YCBCR, 3}, Case{COLOR_BGR, COLOR_YCBCR, 3},
                       Case{COLOR_RGBA, COLOR_YCBCRA, 4}}) {
    OutputRig rig;
    rig.SetFrame(256, 256, Factors(c.channels, {1, 1}), c.jpeg_color);
    rig.SetBuffer(256, 256, c.channels, 2, c.dib_color, 1);
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        rig.At(x, y, 0) = static_cast<uint8_t>(luma(x, y));
        rig.At(x, y, 1) = static_cast<uint8_t>(x);
        rig.At(x, y, 2) = static_cast<uint8_t>(y);
        if (c.channels == 4) rig.At(x, y, 3) = 77;
      }
    jpeg::ConvertPixelsInPlace(rig.state(), {0, 0, 256, 256}, rig.state().output_start);
    const bool bgr = c.dib_color == COLOR_BGR, inverted = c.jpeg_color == COLOR_YCBCRA;
    auto stored = [&](int v) { return inverted ? 255 - v : v; };
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const Rgb e = InPlace(luma(x, y), x, y);
        ASSERT_EQ(rig.At(x, y, bgr ? 2 : 0), stored(e.r));
        ASSERT_EQ(rig.At(x, y, 1), stored(e.g)) << x << "," << y;
        ASSERT_EQ(rig.At(x, y, bgr ? 0 : 2), stored(e.b));
        if (c.channels == 4) {
          ASSERT_EQ(rig.At(x, y, 3), 77);
        }
      }
    EXPECT_TRUE(rig.OutsideUntouched(256, 256));
  }
  EXPECT_EQ(InPlace(255, 128, 255).r, 255);  // saturation, as the sweep includes
  EXPECT_EQ(InPlace(0, 0, 128).b, 0);
}

TEST(GenericPath, UnusualSamplingMatchesNearestNeighbour) {
  // Y 1x2; Y 4x1; three different factors; ratios that are not integers (Hmax 3
  // with H 2, Hmax 4 with H 3). RGB data, so the samples arrive unconverted.
  const Factors cases[] = {{{1, 2}, {1, 1}, {1, 1}}, {{4, 1}, {1, 1}, {1, 1}},
                           {{2, 2}, {2, 1}, {1, 2}}, {{3, 1}, {2, 1}, {1, 1}},
                           {{4, 1}, {3, 1}, {1, 1}}, {{1, 1}, {1, 1}, {2, 2}}};
  for (const Factors& f : cases) {
    OutputRig rig;
    rig.SetFrame(37, 21, f, COLOR_RGB);
    rig.SetBuffer(37, -21, 3, 1, COLOR_RGB);
    WriteAllMcus(rig);
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 37; ++x)
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(rig.At(x, y, c), Expected(f, c, x, y))
              << f[0].first << f[1].first << " " << x << "," << y;
    EXPECT_TRUE(rig.OutsideUntouched(37, 21));
  }
}

TEST(GenericPath, ConvertsTheExpandedSamplesAndClipsAtTheEdges) {
  const Factors f = {{2, 2}, {1, 1}, {1, 1}};
  for (const int channels : {3, 4}) {
    OutputRig rig;
    rig.SetFrame(20, 10, f, COLOR_YCBCR);
    rig.SetBuffer(20, 10, channels, 3, channels == 3 ? COLOR_BGR : COLOR_RGBA, 1);
    WriteAllMcus(rig);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x) {
        const Rgb e = InPlace(Expected(f, 0, x, y), Expected(f, 1, x, y), Expected(f, 2, x, y));
        EXPECT_EQ(rig.At(x, y, channels == 3 ? 2 : 0), e.r);
        EXPECT_EQ(rig.At(x, y, 1), e.g);
        EXPECT_EQ(rig.At(x, y, channels == 3 ? 0 : 2), e.b);
        if (channels == 4) {
          EXPECT_EQ(rig.At(x, y, 3), 255);
        }
      }
    EXPECT_TRUE(rig.OutsideUntouched(20, 10));
  }
}

// Whole MCUs of reduced reads through the writer chosen per scan give the bytes of the generic
// writer, in every layout it takes: from samples, and from the quantised DC of 1x1 blocks
// (precise method) against the generic writer after DequantizeInverseDct1x1Precise; the
// class's own writers (AVX2 where it has them) and the plain ones, which a class whose reduced
// transforms are plain takes.
TEST(WholeReducedMcuWriter, WritesTheBytesOfTheGenericWriter) {
  struct Layout {
    Factors f;
    uint32_t jpeg_color;
    int channels;
    uint32_t dib_color;
  };
  const Layout layouts[] = {{{{1, 1}}, COLOR_GRAY, 1, COLOR_GRAY},
                            {{{1, 1}}, COLOR_GRAY, 3, COLOR_BGR},
                            {{{1, 1}}, COLOR_GRAY, 4, COLOR_RGBA},
                            {{{1, 1}, {1, 1}, {1, 1}}, COLOR_YCBCR, 3, COLOR_BGR},
                            {{{2, 2}, {1, 1}, {1, 1}}, COLOR_YCBCR, 3, COLOR_RGB},
                            {{{2, 1}, {1, 1}, {1, 1}}, COLOR_YCBCR, 3, COLOR_BGR}};
  const int16_t quant[64] = {7};
  const int16_t* const quants[3] = {quant, quant, quant};
  for (const Layout& l : layouts)
    for (int32_t mode : {READ_HALF_BUFFER, READ_QUARTER_BUFFER, READ_EIGHTH_BUFFER})
      for (int variant = 0; variant < 4; ++variant) {
        const bool from_dc = variant & 1, plain = variant & 2;
        OutputRig generic, whole;
        for (OutputRig* rig : {&generic, &whole}) {
          rig->SetFrame(64, 64, l.f, l.jpeg_color);
          rig->SetBuffer(64, -64, l.channels, 2, l.dib_color, l.jpeg_color == COLOR_YCBCR);
          rig->state().io_mode = mode;
        }
        if (plain) whole.table().InverseDct2x2Precise = &jpeg::InverseDct2x2Precise;
        const jpeg::ReadGeometry g = jpeg::ComputeReadGeometry(whole.state());
        const jpeg::WholeReducedMcuWriter writer = jpeg::WholeReducedMcuWriterOf(whole.state(), g);
        ASSERT_NE(writer, nullptr) << l.channels << " channels, mode " << mode;
        int blocks = 0, dc_blocks = 0;
        for (int c = 0; c < g.component_count; ++c) {
          const int first = blocks;  // the sink's count: the leading blocks of one sample
          blocks += g.components[c].h * g.components[c].v;
          if (g.components[c].block_size == 1 && dc_blocks == first) dc_blocks = blocks;
        }
        if (from_dc && dc_blocks == 0) continue;
        for (int i = 0; i < 64 * blocks; ++i) {
          const auto value = static_cast<int16_t>((i * 37 + mode * 11) % 256);
          generic.state().mcu_work_buffer[i] = whole.state().mcu_work_buffer[i] =
              from_dc && i < 64 * dc_blocks ? static_cast<int16_t>(value * 3 - 400) : value;
        }
        for (int b = 0; from_dc && b < dc_blocks; ++b)
          jpeg::DequantizeInverseDct1x1Precise(generic.state().mcu_work_buffer + 64 * b, quant);
        const int column = 1, row = 2;
        ASSERT_EQ(generic.Write(jpeg::WriteGenericMcu, column, row), JPEG_SUCCESS);
        writer(whole.state().mcu_work_buffer, from_dc ? quants : nullptr,
               whole.state().output_start +
                   jpeg::PixelOffset(g.window, column * g.mcu_width, row * g.mcu_height),
               whole.state().row_stride);
        EXPECT_EQ(generic.Bytes(), whole.Bytes())
            << l.channels << " channels, mode " << mode << (from_dc ? " from the DC" : "")
            << (plain ? " plain" : "");
      }
}

TEST(NonInterleaved, EachComponentLandsInItsChannelThenTheImageIsConverted) {
  const Factors f = {{2, 2}, {1, 1}, {1, 1}};
  OutputRig rig;
  rig.SetFrame(21, 13, f, COLOR_YCBCR);
  rig.SetBuffer(21, -13, 3, 2, COLOR_BGR, 1);
  rig.state().interleave_type = 1;
  for (int c = 0; c < 3; ++c) WriteComponentBlocks(rig, c, jpeg::WriteNonInterleavedBlock);
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 21; ++x)
      for (int c = 0; c < 3; ++c) ASSERT_EQ(rig.At(x, y, c), Expected(f, c, x, y));
  jpeg::ConvertImageInPlace(*rig.properties());
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 21; ++x) {
      const Rgb e = InPlace(Expected(f, 0, x, y), Expected(f, 1, x, y), Expected(f, 2, x, y));
      EXPECT_EQ(rig.At(x, y, 0), e.b);
      EXPECT_EQ(rig.At(x, y, 1), e.g);
      EXPECT_EQ(rig.At(x, y, 2), e.r);
    }
  EXPECT_TRUE(rig.OutsideUntouched(21, 13));
}

TEST(NonInterleaved, BlocksOfNonIntegerRatiosTileTheImage) {
  // Hmax 4 with H 3: a block of Cb covers 32/3 pixels, so block edges fall between
  // the interleaved MCU's pixel columns 10|11 and 21|22.
  const Factors f = {{4, 1}, {3, 1}, {1, 1}};
  OutputRig rig;
  rig.SetFrame(29, 9, f, COLOR_RGB);
  rig.SetBuffer(29, 9, 4, 0, COLOR_RGBA);
  rig.state().interleave_type = 1;
  for (int c = 0; c < 3; ++c) WriteComponentBlocks(rig, c, jpeg::WriteNonInterleavedBlock);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 29; ++x) {
      for (int c = 0; c < 3; ++c) ASSERT_EQ(rig.At(x, y, c), Expected(f, c, x, y)) << x;
      EXPECT_EQ(rig.At(x, y, 3), 255);
    }
  EXPECT_TRUE(rig.OutsideUntouched(29, 9));
}

TEST(NonInterleaved, YccWriterPacksTwoChannelsAsThe422Packing) {
  const Factors f = {{2, 1}, {1, 1}, {1, 1}};
  OutputRig rig;
  rig.SetFrame(19, 8, f, COLOR_YCBCR);
  rig.SetBuffer(19, 8, 2, 1, COLOR_YCBCR);
  rig.state().interleave_type = 1;
  for (int c = 0; c < 3; ++c) WriteComponentBlocks(rig, c, jpeg::WriteNonInterleavedYccBlock);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 19; ++x) {
      EXPECT_EQ(rig.At(x, y, 0), Pattern(0, x, y));
      EXPECT_EQ(rig.At(x, y, 1), Pattern(1 + x % 2, x / 2, y)) << x;
    }
  EXPECT_TRUE(rig.OutsideUntouched(19, 8));
}

TEST(NonInterleaved, YccWriterAveragesFullResolutionChromaPerPixelPair) {
  OutputRig rig;
  rig.SetFrame(8, 8, {{1, 1}, {1, 1}, {1, 1}}, COLOR_YCBCR);
  rig.SetBuffer(8, 8, 2, 0, COLOR_YCBCR);
  rig.state().interleave_type = 1;
  for (int c = 0; c < 3; ++c) WriteComponentBlocks(rig, c, jpeg::WriteNonInterleavedYccBlock);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const int c = 1 + x % 2, even = x & ~1;
      EXPECT_EQ(rig.At(x, y, 1), (Pattern(c, even, y) + Pattern(c, even + 1, y) + 1) / 2);
    }
}

TEST(ConvertImageInPlace, RunsOnlyWhenConversionIsOnForRgbLikeOutput) {
  for (const uint32_t convert : {0u, 1u}) {
    OutputRig rig;
    rig.SetFrame(4, 4, {{1, 1}, {1, 1}, {1, 1}}, COLOR_YCBCR);
    rig.SetBuffer(4, 4, 3, 0, COLOR_RGB, convert);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        for (int c = 0; c < 3; ++c) rig.At(x, y, c) = 128;
    jpeg::ConvertImageInPlace(*rig.properties());
    EXPECT_EQ(rig.At(3, 3, 2), 128);  // mid gray is a fixed point of the equations
    rig.At(0, 0, 2) = 255;
    jpeg::ConvertImageInPlace(*rig.properties());
    EXPECT_EQ(rig.At(0, 0, 0), convert ? InPlace(128, 128, 255).r : 128);
    EXPECT_TRUE(rig.OutsideUntouched(4, 4));
  }
}

}  // namespace
