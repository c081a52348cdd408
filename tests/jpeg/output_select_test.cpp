// Output converter selection: the frame geometry, the colour flags, the selection
// table row by row (output_path and the installed writer), the refusals, and that a
// read never keeps an earlier image's converter.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "jpeg/generic_output.h"
#include "jpeg/output_select.h"
#include "jpeg/passthrough_output.h"
#include "jpeg/routine_table.h"
#include "jpeg/ycc_output.h"

namespace {

struct Factors {
  int h, v;
};

class Selection {
 public:
  Selection() : properties_(std::make_unique<JPEG_PROPERTIES>()) {
    properties_->state.routine_table = &table_;
  }
  JpegState& state() { return properties_->state; }

  // A frame of the given components' factors and colour, to be written as ch / col.
  int32_t Select(const std::vector<Factors>& factors, uint32_t jpeg_color, uint32_t ch,
                 uint32_t col, int32_t interleave_type = 0) {
    JpegState& s = state();
    s.frame.component_count = static_cast<int32_t>(factors.size());
    for (size_t i = 0; i < factors.size(); ++i) {
      s.frame.components[i].h = factors[i].h;
      s.frame.components[i].v = factors[i].v;
    }
    s.frame.width = 17;
    s.frame.height = 20;
    s.jpeg_color = jpeg_color;
    s.dib_channels = ch;
    s.dib_color = col;
    s.interleave_type = interleave_type;
    return jpeg::SelectOutputConverter(*properties_);
  }
  jpeg::WriteMcuRoutine writer() const { return table_.WriteMcuOutput; }

 private:
  RoutineTable table_{};
  std::unique_ptr<JPEG_PROPERTIES> properties_;
};

const std::vector<Factors> k444 = {{1, 1}, {1, 1}, {1, 1}};
const std::vector<Factors> k422 = {{2, 1}, {1, 1}, {1, 1}};
const std::vector<Factors> k420 = {{2, 2}, {1, 1}, {1, 1}};
const std::vector<Factors> k411 = {{4, 1}, {1, 1}, {1, 1}};
const std::vector<Factors> k440 = {{1, 2}, {1, 1}, {1, 1}};
const std::vector<Factors> kYcca1x1 = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
const std::vector<Factors> kYcca422 = {{2, 1}, {1, 1}, {1, 1}, {2, 1}};
const std::vector<Factors> kYcca420 = {{2, 2}, {1, 1}, {1, 1}, {2, 2}};
const std::vector<Factors> kYccaMixed = {{2, 2}, {1, 1}, {1, 1}, {1, 1}};
const std::vector<Factors> kGray = {{1, 1}};
const std::vector<Factors> kGray2x2 = {{2, 2}};
const std::vector<Factors> kTwo = {{1, 1}, {1, 1}};

TEST(SelectOutputConverterTest, FollowsTheSelectionTable) {
  struct Row {
    const char* what;
    std::vector<Factors> factors;
    uint32_t jpeg_color, ch, col;
    uint32_t convert, upsample;
    int32_t output_path;
    jpeg::WriteMcuRoutine writer;
  };
  const Row rows[] = {
      // Conversion with upsampling.
      {"420 to RGB", k420, COLOR_YCBCR, 3, COLOR_RGB, 1, 1, 3, jpeg::YccMcuWriter(3)},
      {"422 to RGB", k422, COLOR_YCBCR, 3, COLOR_RGB, 1, 1, 5, jpeg::YccMcuWriter(5)},
      {"411 to RGB", k411, COLOR_YCBCR, 3, COLOR_RGB, 1, 1, 0, &jpeg::WriteGenericMcu},
      {"420 to BGR", k420, COLOR_YCBCR, 3, COLOR_BGR, 1, 1, 4, jpeg::YccMcuWriter(4)},
      {"422 to BGR", k422, COLOR_YCBCR, 3, COLOR_BGR, 1, 1, 6, jpeg::YccMcuWriter(6)},
      {"440 to BGR", k440, COLOR_YCBCR, 3, COLOR_BGR, 1, 1, 0, &jpeg::WriteGenericMcu},
      {"420 to RGBA", k420, COLOR_YCBCR, 4, COLOR_RGBA, 1, 1, 8, jpeg::YccMcuWriter(8)},
      {"422 to RGBA", k422, COLOR_YCBCR, 4, COLOR_RGBA, 1, 1, 9, jpeg::YccMcuWriter(9)},
      {"YCCA 422", kYcca422, COLOR_YCBCRA, 4, COLOR_RGBA, 1, 1, 12, jpeg::YccMcuWriter(12)},
      {"YCCA 420", kYcca420, COLOR_YCBCRA, 4, COLOR_RGBA, 1, 1, 11, jpeg::YccMcuWriter(11)},
      {"YCCA mixed", kYccaMixed, COLOR_YCBCRA, 4, COLOR_RGBA, 1, 1, 0, &jpeg::WriteGenericMcu},
      // Upsampling only.
      {"RGB 420 replicated", k420, COLOR_RGB, 3, COLOR_RGB, 0, 1, 16, &jpeg::WriteReplicate2x2Mcu},
      {"RGB 422 replicated", k422, COLOR_RGB, 3, COLOR_RGB, 0, 1, 17, &jpeg::WriteReplicate2x1Mcu},
      {"RGB 411 generic", k411, COLOR_RGB, 3, COLOR_RGB, 0, 1, 0, &jpeg::WriteGenericMcu},
      {"RGB 420 into BGR", k420, COLOR_RGB, 3, COLOR_BGR, 0, 1, 0, &jpeg::WriteGenericMcu},
      {"YCbCr 420 into gray", k420, COLOR_YCBCR, 1, COLOR_GRAY, 0, 1, 0, &jpeg::WriteGenericMcu},
      {"RGBA 420", kYcca420, COLOR_RGBA, 4, COLOR_RGBA, 0, 1, 0, &jpeg::WriteGenericMcu},
      // Conversion only.
      {"444 to RGB", k444, COLOR_YCBCR, 3, COLOR_RGB, 1, 0, 1, jpeg::YccMcuWriter(1)},
      {"444 to BGR", k444, COLOR_YCBCR, 3, COLOR_BGR, 1, 0, 2, jpeg::YccMcuWriter(2)},
      {"444 to RGBA", k444, COLOR_YCBCR, 4, COLOR_RGBA, 1, 0, 7, jpeg::YccMcuWriter(7)},
      {"YCCA 1x1", kYcca1x1, COLOR_YCBCRA, 4, COLOR_RGBA, 1, 0, 10, jpeg::YccMcuWriter(10)},
      // Neither.
      {"gray", kGray, COLOR_GRAY, 1, COLOR_GRAY, 0, 0, 0, &jpeg::WriteGrayMcu},
      {"gray into BGR", kGray, COLOR_GRAY, 3, COLOR_BGR, 0, 0, 0, &jpeg::WriteGrayRepeatedMcu},
      {"two components", kTwo, COLOR_OTHER, 2, COLOR_OTHER, 0, 0, 0, &jpeg::WriteComponentCopyMcu},
      {"444 into gray", k444, COLOR_YCBCR, 1, COLOR_GRAY, 0, 0, 0, &jpeg::WriteComponentCopyMcu},
      {"422 packed", k422, COLOR_YCBCR, 2, COLOR_YCBCR, 0, 0, 19, &jpeg::WritePack422Mcu},
      {"RGB into BGR", k444, COLOR_RGB, 3, COLOR_BGR, 0, 0, 0, &jpeg::WriteComponentCopyMcu},
      {"RGB interleaved", k444, COLOR_RGB, 3, COLOR_RGB, 0, 0, 15, &jpeg::WriteInterleave3Mcu},
      {"RGB plus 255", k444, COLOR_RGB, 4, COLOR_RGBA, 0, 0, 13, &jpeg::WriteInterleave3AlphaMcu},
      {"CMYK-like into 3", kYcca1x1, COLOR_OTHER, 3, COLOR_OTHER, 0, 0, 0,
       &jpeg::WriteComponentCopyMcu},
      {"RGBA interleaved", kYcca1x1, COLOR_RGBA, 4, COLOR_RGBA, 0, 0, 14,
       &jpeg::WriteInterleave4Mcu},
      // A single component has nothing to upsample, whatever its factors.
      {"gray 2x2", kGray2x2, COLOR_GRAY, 1, COLOR_GRAY, 0, 1, 0, &jpeg::WriteGrayMcu},
      // No row: no converter.
      {"YCbCr 420 into 5 channels", k420, COLOR_YCBCR, 5, COLOR_RGBA, 1, 1, 0, nullptr},
      {"YCbCr 444 into BGRA", k444, COLOR_YCBCR, 4, COLOR_BGR, 1, 0, 0, nullptr},
      {"four components into 2", kYcca1x1, COLOR_OTHER, 2, COLOR_OTHER, 0, 0, 0, nullptr},
  };
  for (const Row& row : rows) {
    Selection selection;
    ASSERT_EQ(selection.Select(row.factors, row.jpeg_color, row.ch, row.col), 0) << row.what;
    EXPECT_EQ(selection.state().color_convert_flag, row.convert) << row.what;
    EXPECT_EQ(selection.state().upsample_flag, row.upsample) << row.what;
    EXPECT_EQ(selection.state().output_path, row.output_path) << row.what;
    EXPECT_EQ(selection.writer(), row.writer) << row.what;
  }
}

TEST(SelectOutputConverterTest, NonInterleavedImagesGetTheBlockWriters) {
  Selection selection;
  ASSERT_EQ(selection.Select(k420, COLOR_YCBCR, 3, COLOR_BGR, 1), 0);
  EXPECT_EQ(selection.writer(), &jpeg::WriteNonInterleavedBlock);
  EXPECT_EQ(selection.state().output_path, 0);
  EXPECT_EQ(selection.state().color_convert_flag, 1u);
  EXPECT_EQ(selection.state().frame.mcu_width, 8);
  EXPECT_EQ(selection.state().frame.mcu_height, 8);
  EXPECT_EQ(selection.state().mcus_across, 2);  // the grid stays the interleaved one
  EXPECT_EQ(selection.state().mcus_down, 2);
  ASSERT_EQ(selection.Select(k422, COLOR_YCBCR, 2, COLOR_YCBCR, 1), 0);
  EXPECT_EQ(selection.writer(), &jpeg::WriteNonInterleavedYccBlock);
}

TEST(SelectOutputConverterTest, SetsTheMcuGeometry) {
  Selection selection;
  ASSERT_EQ(selection.Select(k420, COLOR_YCBCR, 3, COLOR_BGR), 0);
  const JpegState& s = selection.state();
  EXPECT_EQ(s.frame.h_max, 2);
  EXPECT_EQ(s.frame.v_max, 2);
  EXPECT_EQ(s.frame.mcu_width, 16);
  EXPECT_EQ(s.frame.mcu_height, 16);
  EXPECT_EQ(s.mcus_across, 2);  // 17 pixels
  EXPECT_EQ(s.mcus_down, 2);    // 20 pixels
  ASSERT_EQ(selection.Select(k411, COLOR_YCBCR, 3, COLOR_BGR), 0);
  EXPECT_EQ(s.frame.mcu_width, 32);
  EXPECT_EQ(s.frame.mcu_height, 8);
  EXPECT_EQ(s.mcus_across, 1);
  EXPECT_EQ(s.mcus_down, 3);
}

TEST(SelectOutputConverterTest, YcbcrOutputNeedsA422Image) {
  for (const auto& factors : {k444, k420, k411}) {
    Selection selection;
    EXPECT_EQ(selection.Select(factors, COLOR_YCBCR, 2, COLOR_YCBCR), -8);
    EXPECT_EQ(selection.writer(), nullptr);
  }
  Selection selection;
  EXPECT_EQ(selection.Select(k422, COLOR_YCBCR, 2, COLOR_YCBCR), 0);
  EXPECT_EQ(selection.state().upsample_flag, 0u);  // YCbCr output is never upsampled
  EXPECT_EQ(selection.state().color_convert_flag, 0u);
}

TEST(SelectOutputConverterTest, RefusesAFrameWithoutComponents) {
  Selection selection;
  EXPECT_EQ(selection.Select({}, COLOR_YCBCR, 3, COLOR_BGR), -14);
  EXPECT_EQ(selection.writer(), nullptr);
}

// A second image whose layout has no converter must not write with the first one's.
TEST(SelectOutputConverterTest, ClearsTheConverterOfAnEarlierImage) {
  Selection selection;
  ASSERT_EQ(selection.Select(k420, COLOR_YCBCR, 3, COLOR_BGR), 0);
  ASSERT_NE(selection.writer(), nullptr);
  ASSERT_EQ(selection.Select(k420, COLOR_YCBCR, 5, COLOR_RGBA), 0);
  EXPECT_EQ(selection.writer(), nullptr);
  EXPECT_EQ(selection.state().output_path, 0);
  ASSERT_EQ(selection.Select(k420, COLOR_YCBCR, 3, COLOR_BGR), 0);
  ASSERT_EQ(selection.Select(k420, COLOR_YCBCR, 2, COLOR_YCBCR), -8);
  EXPECT_EQ(selection.writer(), nullptr);
  EXPECT_EQ(selection.state().output_path, 0);
}

}  // namespace
