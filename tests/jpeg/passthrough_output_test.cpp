// Pass-through output: byte order of every path, gray clamping and channel filling,
// box replication, clipping of partial MCUs and bottom-up rows. Expectations are
// written from the sample positions directly, never by calling the writers' helpers.
#include "jpeg/passthrough_output.h"

#include <gtest/gtest.h>

#include "tests/jpeg/output_rig.h"

namespace {

using jpeg_test::OutputRig;

int16_t Pattern(int c, int x, int y) {
  return static_cast<int16_t>((c * 80 + x * 5 + y * 11) & 0xFF);
}

using Writer = jpeg::WriteMcuRoutine;

// Writes every MCU of the frame's interleaved grid.
void WriteAll(OutputRig& rig, Writer writer, const OutputRig::SampleFunction& sample) {
  const JpegFrameHeader& f = rig.state().frame;
  const int across = static_cast<int>((f.width + f.mcu_width - 1) / f.mcu_width);
  const int down = static_cast<int>((f.height + f.mcu_height - 1) / f.mcu_height);
  for (int row = 0; row < down; ++row)
    for (int column = 0; column < across; ++column) {
      rig.FillMcu(column, row, sample);
      ASSERT_EQ(rig.Write(writer, column, row), JPEG_SUCCESS);
    }
}

TEST(GrayCopy, ClampsEachSampleIntoOneChannel) {
  OutputRig rig;
  rig.SetFrame(8, 8, {{1, 1}}, COLOR_GRAY);
  rig.SetBuffer(8, 8, 1, 3, COLOR_GRAY);
  auto sample = [](int, int x, int y) -> int16_t {
    return x == 0 ? -40 : x == 1 ? 300 : Pattern(0, x, y);
  };
  WriteAll(rig, jpeg::WriteGrayMcu, sample);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(rig.At(x, y, 0), x == 0 ? 0 : x == 1 ? 255 : Pattern(0, x, y));
  EXPECT_TRUE(rig.OutsideUntouched(8, 8));
}

TEST(GrayCopy, SingleComponentFrameIsOneBlockPerMcuWhateverItsFactors) {
  // T.81 A.2.2: a scan of one component codes one block per MCU, so a 2x2 factor
  // in a gray frame changes nothing; block (1, 1) covers pixels 8..15.
  for (const Writer writer : {jpeg::WriteGrayMcu, jpeg::WriteComponentCopyMcu}) {
    OutputRig rig;
    rig.SetFrame(16, 16, {{2, 2}}, COLOR_GRAY);
    const int channels = writer == jpeg::WriteGrayMcu ? 1 : 3;
    rig.SetBuffer(16, 16, channels, 0, channels == 1 ? COLOR_GRAY : COLOR_BGR);
    rig.FillComponentBlock(0, 1, 1, Pattern);
    ASSERT_EQ(rig.Write(writer, 1, 1), JPEG_SUCCESS);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        for (int ch = 0; ch < channels; ++ch)
          EXPECT_EQ(rig.At(x, y, ch), x >= 8 && y >= 8 ? Pattern(0, x, y) : jpeg_test::kUntouched);
  }
}

struct InterleaveCase {
  Writer writer;
  int components, channels;
  uint32_t dib_color;
};

TEST(Interleave, WritesComponentsInOrderThenAlpha) {
  const InterleaveCase cases[] = {{jpeg::WriteInterleave3Mcu, 3, 3, COLOR_RGB},
                                  {jpeg::WriteInterleave3AlphaMcu, 3, 4, COLOR_RGBA},
                                  {jpeg::WriteInterleave4Mcu, 4, 4, COLOR_OTHER}};
  for (const InterleaveCase& c : cases) {
    OutputRig rig;
    rig.SetFrame(16, 8, std::vector<std::pair<int, int>>(c.components, {1, 1}), COLOR_OTHER);
    rig.SetBuffer(16, 8, c.channels, 1, c.dib_color);
    WriteAll(rig, c.writer, Pattern);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x)
        for (int ch = 0; ch < c.channels; ++ch)
          EXPECT_EQ(rig.At(x, y, ch), ch < c.components ? Pattern(ch, x, y) : 255) << c.channels;
    EXPECT_TRUE(rig.OutsideUntouched(16, 8));
  }
}

TEST(Replicate, BoxReplicatesChromaInComponentOrder) {
  for (const int v : {1, 2}) {
    OutputRig rig;
    rig.SetFrame(32, 16, {{2, v}, {1, 1}, {1, 1}}, COLOR_RGB);
    rig.SetBuffer(32, 16, 3, 2, COLOR_RGB);
    WriteAll(rig, v == 1 ? jpeg::WriteReplicate2x1Mcu : jpeg::WriteReplicate2x2Mcu, Pattern);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 32; ++x) {
        EXPECT_EQ(rig.At(x, y, 0), Pattern(0, x, y));
        EXPECT_EQ(rig.At(x, y, 1), Pattern(1, x / 2, y / v));
        EXPECT_EQ(rig.At(x, y, 2), Pattern(2, x / 2, y / v));
      }
    EXPECT_TRUE(rig.OutsideUntouched(32, 16));
  }
}

TEST(Pack422, EachPixelPairGivesYCbYCr) {
  OutputRig rig;
  rig.SetFrame(16, 8, {{2, 1}, {1, 1}, {1, 1}}, COLOR_YCBCR);
  rig.SetBuffer(16, 8, 2, 0, COLOR_YCBCR);
  WriteAll(rig, jpeg::WritePack422Mcu, Pattern);
  for (int y = 0; y < 8; ++y)
    for (int k = 0; k < 8; ++k) {
      EXPECT_EQ(rig.At(2 * k, y, 0), Pattern(0, 2 * k, y));
      EXPECT_EQ(rig.At(2 * k, y, 1), Pattern(1, k, y));
      EXPECT_EQ(rig.At(2 * k + 1, y, 0), Pattern(0, 2 * k + 1, y));
      EXPECT_EQ(rig.At(2 * k + 1, y, 1), Pattern(2, k, y));
    }
  EXPECT_TRUE(rig.OutsideUntouched(16, 8));
}

TEST(PassThroughClipping, PartialMcuWritesOnlyItsVisiblePixelsBottomUp) {
  // 17 pixels of 4:2:0: the second MCU column shows pixel column 16 only; 20 rows:
  // the second MCU row shows rows 16..19. The buffer runs bottom-up with pad bytes.
  OutputRig rig;
  rig.SetFrame(17, 20, {{2, 2}, {1, 1}, {1, 1}}, COLOR_RGB);
  rig.SetBuffer(17, -20, 3, 3, COLOR_RGB);
  WriteAll(rig, jpeg::WriteReplicate2x2Mcu, Pattern);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 17; ++x) {
      EXPECT_EQ(rig.At(x, y, 0), Pattern(0, x, y));
      EXPECT_EQ(rig.At(x, y, 2), Pattern(2, x / 2, y / 2));
    }
  EXPECT_TRUE(rig.OutsideUntouched(17, 20));
  // Image row 0 is the last row of the buffer.
  EXPECT_EQ(rig.state().dib_pixels[19 * (17 * 3 + 3)], Pattern(0, 0, 0));
}

TEST(PassThroughClipping, BufferNarrowerThanTheImageClipsTheImage) {
  OutputRig rig;
  rig.SetFrame(24, 8, {{1, 1}, {1, 1}, {1, 1}}, COLOR_RGB);
  rig.SetBuffer(12, 6, 3, 0, COLOR_RGB);
  WriteAll(rig, jpeg::WriteInterleave3Mcu, Pattern);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(rig.At(x, y, 1), Pattern(1, x, y));
  EXPECT_TRUE(rig.OutsideUntouched(12, 6));
}

int whole_mcu_kernel_calls = 0;
void CountingKernel(const int16_t* const*, uint8_t*, int32_t) {
  ++whole_mcu_kernel_calls;
}

TEST(PassThroughWriters, OnlyWholeMcusGoThroughTheRoutineTable) {
  OutputRig rig;
  rig.SetFrame(12, 8, {{1, 1}, {1, 1}, {1, 1}}, COLOR_RGB);
  rig.SetBuffer(12, 8, 3, 0, COLOR_RGB);
  rig.table().OutputInterleave3 = CountingKernel;
  whole_mcu_kernel_calls = 0;
  WriteAll(rig, jpeg::WriteInterleave3Mcu, Pattern);
  EXPECT_EQ(whole_mcu_kernel_calls, 1);
  EXPECT_EQ(rig.At(0, 0, 0), jpeg_test::kUntouched);  // left to the (counting) kernel
  EXPECT_EQ(rig.At(11, 7, 0), Pattern(0, 11, 7));     // the clipped MCU, written directly
}

TEST(PassThroughWriters, FrameTheLayoutDoesNotDescribeTakesTheComponentCopy) {
  // YCbCr output forces the upsampling flag off, so a 4:2:2 frame can be handed to
  // the three-channel interleave; it must not read the second Y block as Cb.
  OutputRig rig;
  rig.SetFrame(16, 8, {{2, 1}, {1, 1}, {1, 1}}, COLOR_YCBCR);
  rig.SetBuffer(16, 8, 3, 0, COLOR_YCBCR);
  WriteAll(rig, jpeg::WriteInterleave3Mcu, Pattern);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(rig.At(x, y, 0), Pattern(0, x, y));
      EXPECT_EQ(rig.At(x, y, 1), Pattern(1, x / 2, y));
      EXPECT_EQ(rig.At(x, y, 2), Pattern(2, x / 2, y));
    }
}

// The general component copy and the gray pages' own writer fill pixels alike, whole
// and partial MCUs.
TEST(ComponentCopy, GrayRepeatsIntoThreeChannelsAndAddsOpaqueAlphaToFour) {
  for (const Writer writer : {jpeg::WriteComponentCopyMcu, jpeg::WriteGrayRepeatedMcu}) {
    for (const int channels : {3, 4}) {
      OutputRig rig;
      rig.SetFrame(13, 11, {{1, 1}}, COLOR_GRAY);
      rig.SetBuffer(13, 11, channels, 1, channels == 3 ? COLOR_BGR : COLOR_RGBA);
      WriteAll(rig, writer, Pattern);
      for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x)
          for (int ch = 0; ch < channels; ++ch)
            EXPECT_EQ(rig.At(x, y, ch), ch < 3 ? Pattern(0, x, y) : 255);
      EXPECT_TRUE(rig.OutsideUntouched(13, 11));
    }
  }
}

TEST(ComponentCopy, RgbDataIntoBgrBufferComesOutReversedWithoutArithmetic) {
  OutputRig rig;
  rig.SetFrame(8, 8, {{1, 1}, {1, 1}, {1, 1}}, COLOR_RGB);
  rig.SetBuffer(8, 8, 3, 0, COLOR_BGR);
  WriteAll(rig, jpeg::WriteComponentCopyMcu, Pattern);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(rig.At(x, y, ch), Pattern(2 - ch, x, y));
}

TEST(ComponentCopy, ComponentsBeyondTheChannelsAreDropped) {
  OutputRig rig;
  rig.SetFrame(8, 8, {{1, 1}, {1, 1}, {1, 1}}, COLOR_OTHER);
  rig.SetBuffer(8, 8, 1, 1, COLOR_GRAY);
  WriteAll(rig, jpeg::WriteComponentCopyMcu, Pattern);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(rig.At(x, y, 0), Pattern(0, x, y));
  EXPECT_TRUE(rig.OutsideUntouched(8, 8));
}

}  // namespace
