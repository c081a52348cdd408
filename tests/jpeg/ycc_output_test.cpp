// The dedicated YCbCr output paths 1-12: colour equations (checked against the
// equations written out here, over every chroma pair), byte orders, box upsampling,
// MCUs clipped at the image edge, bottom-up buffers, and the bytes that must stay
// untouched (row padding, guard bytes around the buffer).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "jpeg/mcu_placement.h"
#include "jpeg/read_geometry.h"
#include "jpeg/routine_table.h"
#include "jpeg/ycc_output.h"

namespace {

constexpr uint8_t kUntouched = 0xA5;

// The equations as stated: 32-bit products, arithmetic shift, 16-bit term, clamp.
int Clamp255(int v) {
  return std::clamp(v, 0, 255);
}
std::array<int, 3> Rgb(int y, int cb, int cr) {
  const auto red = static_cast<int16_t>((359 * cr - 45813) >> 8);
  const auto green = static_cast<int16_t>((88 * cb + 183 * cr - 34806) >> 8);
  const auto blue = static_cast<int16_t>((454 * cb - 57937) >> 8);
  return {Clamp255(y + red), Clamp255(y - green), Clamp255(y + blue)};
}

struct PathShape {
  int output_path;
  int h_shift, v_shift;  // log2 of the chroma subsampling
  int channels;
  int order;  // 1 RGB, 2 BGR, 5 RGBA
  bool four_components;
};

constexpr PathShape kPaths[] = {
    {1, 0, 0, 3, 1, false}, {2, 0, 0, 3, 2, false}, {3, 1, 1, 3, 1, false}, {4, 1, 1, 3, 2, false},
    {5, 1, 0, 3, 1, false}, {6, 1, 0, 3, 2, false}, {7, 0, 0, 4, 5, false}, {8, 1, 1, 4, 5, false},
    {9, 1, 0, 4, 5, false}, {10, 0, 0, 4, 5, true}, {11, 1, 1, 4, 5, true}, {12, 1, 0, 4, 5, true},
};

// The bytes one pixel must carry, in buffer order.
std::vector<int> ExpectedPixel(const PathShape& shape, int y, int cb, int cr, int fourth) {
  const auto [r, g, b] = Rgb(y, cb, cr);
  if (shape.four_components) return {255 - r, 255 - g, 255 - b, fourth};
  if (shape.order == 2) return {b, g, r};
  if (shape.order == 5) return {r, g, b, 255};
  return {r, g, b};
}

// One read's worth of state: an image of width x height pixels decoded into a
// buffer with pad bytes per row and guard bytes around it.
class YccOutput {
 public:
  YccOutput(const PathShape& shape, int width, int height, bool bottom_up = false, int pad = 0)
      : shape_(shape),
        width_(width),
        height_(height),
        row_bytes_(width * shape.channels + pad),
        buffer_(kGuard + row_bytes_ * height + kGuard, kUntouched),
        properties_(std::make_unique<JPEG_PROPERTIES>()) {
    jpeg::InstallPlainYccKernels(table_);
    JpegState& state = properties_->state;
    state.routine_table = &table_;
    state.frame.width = static_cast<uint32_t>(width);
    state.frame.height = static_cast<uint32_t>(height);
    state.dib_width = static_cast<uint32_t>(width);
    state.dib_height = bottom_up ? -height : height;
    state.dib_channels = static_cast<uint32_t>(shape.channels);
    state.row_stride = bottom_up ? -row_bytes_ : row_bytes_;
    state.output_start =
        bottom_up ? &buffer_[kGuard + row_bytes_ * (height - 1)] : &buffer_[kGuard];
  }

  int mcu_width() const { return 8 << shape_.h_shift; }
  int mcu_height() const { return 8 << shape_.v_shift; }
  int luma_blocks() const { return 1 << (shape_.h_shift + shape_.v_shift); }
  int16_t* work() { return properties_->state.mcu_work_buffer; }

  // Sample of MCU pixel (row, column) in the work buffer's block layout.
  int16_t& Luma(int row, int column) {
    const int block = (row / 8) * (1 << shape_.h_shift) + column / 8;
    return work()[64 * block + 8 * (row % 8) + column % 8];
  }
  int16_t& Fourth(int row, int column) {
    const int block = (row / 8) * (1 << shape_.h_shift) + column / 8;
    return work()[64 * (luma_blocks() + 2 + block) + 8 * (row % 8) + column % 8];
  }
  int16_t& Cb(int row, int column) { return work()[64 * luma_blocks() + 8 * row + column]; }
  int16_t& Cr(int row, int column) { return work()[64 * (luma_blocks() + 1) + 8 * row + column]; }

  int32_t Write(int mcu_column, int mcu_row) {
    const jpeg::ReadGeometry geometry = jpeg::ComputeReadGeometry(properties_->state);
    jpeg::McuTarget target{&geometry, {}, 0, 0, 0};
    const int32_t status = jpeg::PlaceMcuOutput(geometry.window, mcu_width(), mcu_height(),
                                                mcu_column, mcu_row, target.placement)
                               .code();
    return status != 0 ? status : jpeg::YccMcuWriter(shape_.output_path)(properties_.get(), target);
  }

  // Buffer bytes of image pixel (x, y); image row 0 is the last buffer row when bottom-up.
  std::vector<int> Pixel(int x, int y) const {
    const JpegState& state = properties_->state;
    const uint8_t* p =
        state.output_start + static_cast<ptrdiff_t>(y) * state.row_stride + x * shape_.channels;
    return std::vector<int>(p, p + shape_.channels);
  }
  // What MCU (0, 0)'s pixel (row, column) should hold after a write of the work buffer.
  std::vector<int> Expected(int row, int column) {
    const int cr = row >> shape_.v_shift, cc = column >> shape_.h_shift;
    return ExpectedPixel(shape_, Luma(row, column), Cb(cr, cc), Cr(cr, cc),
                         shape_.four_components ? Fourth(row, column) & 0xFF : 0);
  }

  const std::vector<uint8_t>& buffer() const { return buffer_; }
  static constexpr int kGuard = 64;
  int row_bytes() const { return row_bytes_; }

 private:
  PathShape shape_;
  int width_, height_, row_bytes_;
  std::vector<uint8_t> buffer_;
  RoutineTable table_{};
  std::unique_ptr<JPEG_PROPERTIES> properties_;
};

void FillRandom(YccOutput& out, std::mt19937& random) {
  std::uniform_int_distribution<int> sample(0, 255);
  for (int i = 0; i < JPEG_MCU_BLOCKS * 64; ++i)
    out.work()[i] = static_cast<int16_t>(sample(random));
}

TEST(YccOutputTest, MidGreyGivesGreenOneAbove) {
  for (const PathShape& shape : kPaths) {
    YccOutput out(shape, 8 << shape.h_shift, 8 << shape.v_shift);
    std::fill_n(out.work(), JPEG_MCU_BLOCKS * 64, int16_t{128});
    ASSERT_EQ(out.Write(0, 0), 0);
    const std::vector<int> expected = shape.four_components ? std::vector<int>{127, 126, 127, 128}
                                      : shape.channels == 4 ? std::vector<int>{128, 129, 128, 255}
                                                            : std::vector<int>{128, 129, 128};
    for (int y = 0; y < out.mcu_height(); ++y)
      for (int x = 0; x < out.mcu_width(); ++x)
        ASSERT_EQ(out.Pixel(x, y), expected)
            << "path " << shape.output_path << " at " << x << "," << y;
  }
}

TEST(YccOutputTest, SaturatesAtBothEnds) {
  const PathShape rgb = kPaths[0];
  YccOutput out(rgb, 8, 8);
  std::fill_n(out.work(), 64, int16_t{255});        // Y
  std::fill_n(out.work() + 64, 64, int16_t{128});   // Cb
  std::fill_n(out.work() + 128, 64, int16_t{255});  // Cr
  ASSERT_EQ(out.Write(0, 0), 0);
  EXPECT_EQ(out.Pixel(3, 3)[0], 255);
  std::fill_n(out.work(), 64, int16_t{0});
  std::fill_n(out.work() + 64, 64, int16_t{0});
  std::fill_n(out.work() + 128, 64, int16_t{128});
  ASSERT_EQ(out.Write(0, 0), 0);
  EXPECT_EQ(out.Pixel(3, 3)[2], 0);
}

// Every (Cb, Cr) pair, with luma sweeping the range, through the 1x1 paths: the
// kernels' 16-bit arithmetic must agree with the equations everywhere.
TEST(YccOutputTest, MatchesTheEquationsForEveryChromaPair) {
  for (const PathShape& shape : {kPaths[0], kPaths[1], kPaths[6], kPaths[9]}) {
    YccOutput out(shape, 8, 8);
    for (int base = 0; base < 65536; base += 64) {
      for (int i = 0; i < 64; ++i) {
        const int pair = base + i;
        out.work()[i] = static_cast<int16_t>((pair * 7 + (pair >> 8) * 11) & 255);
        out.work()[64 + i] = static_cast<int16_t>(pair >> 8);
        out.work()[128 + i] = static_cast<int16_t>(pair & 255);
        out.work()[192 + i] = static_cast<int16_t>(pair * 3 & 255);
      }
      ASSERT_EQ(out.Write(0, 0), 0);
      for (int i = 0; i < 64; ++i)
        ASSERT_EQ(out.Pixel(i % 8, i / 8), out.Expected(i / 8, i % 8))
            << "path " << shape.output_path << " pair " << base + i;
    }
  }
}

// Random full MCUs of every path: block layout, upsampling positions, byte order.
TEST(YccOutputTest, FullMcusMatchTheEquationsOnEveryPath) {
  std::mt19937 random(6);
  for (const PathShape& shape : kPaths) {
    YccOutput out(shape, 8 << shape.h_shift, 8 << shape.v_shift);
    for (int trial = 0; trial < 20; ++trial) {
      FillRandom(out, random);
      ASSERT_EQ(out.Write(0, 0), 0);
      for (int y = 0; y < out.mcu_height(); ++y)
        for (int x = 0; x < out.mcu_width(); ++x)
          ASSERT_EQ(out.Pixel(x, y), out.Expected(y, x))
              << "path " << shape.output_path << " at " << x << "," << y;
    }
  }
}

// Chroma cell (r, k) serves exactly the pixels the sampling says: in 4:2:2 (r, 2k)
// and (r, 2k+1); in 4:2:0 the 2x2 pixels from (2r, 2k).
TEST(YccOutputTest, BoxUpsamplingReplicatesEachChromaCell) {
  for (const PathShape& shape : {kPaths[4], kPaths[2]}) {
    YccOutput out(shape, 16, 8 << shape.v_shift);
    std::fill_n(out.work(), JPEG_MCU_BLOCKS * 64, int16_t{128});
    const int r = 3, k = 5;
    out.Cr(r, k) = 255;  // only the red of the served pixels changes
    ASSERT_EQ(out.Write(0, 0), 0);
    for (int y = 0; y < out.mcu_height(); ++y)
      for (int x = 0; x < 16; ++x) {
        const bool served = (y >> shape.v_shift) == r && (x >> 1) == k;
        EXPECT_EQ(out.Pixel(x, y)[0] == 128, !served)
            << "path " << shape.output_path << " at " << x << "," << y;
      }
  }
}

// A 17 x 20 4:2:0 image: MCU column 1 shows pixel column 16 only, MCU row 1 rows 16-19.
TEST(YccOutputTest, ClippedMcuWritesOnlyTheVisiblePixels) {
  const PathShape bgr420 = kPaths[3];
  YccOutput out(bgr420, 17, 20, false, 3);
  std::mt19937 random(17);
  FillRandom(out, random);
  ASSERT_EQ(out.Write(1, 1), 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 17; ++x) {
      if (x == 16 && y >= 16)
        EXPECT_EQ(out.Pixel(x, y), out.Expected(y - 16, 0)) << x << "," << y;
      else
        EXPECT_EQ(out.Pixel(x, y), std::vector<int>(3, kUntouched)) << x << "," << y;
    }
  ASSERT_EQ(out.Write(1, 0), 0);
  for (int y = 0; y < 16; ++y) EXPECT_EQ(out.Pixel(16, y), out.Expected(y, 0));
  // Guard bytes, row pads.
  const auto& buffer = out.buffer();
  for (int i = 0; i < YccOutput::kGuard; ++i) {
    EXPECT_EQ(buffer[i], kUntouched);
    EXPECT_EQ(buffer[buffer.size() - 1 - i], kUntouched);
  }
  for (int y = 0; y < 20; ++y)
    for (int p = 51; p < 54; ++p) EXPECT_EQ(buffer[YccOutput::kGuard + y * 54 + p], kUntouched);
}

// The clipped kernel gives the visible pixels exactly what the full kernel gives.
TEST(YccOutputTest, PartialMcusEqualTheFullKernelOnVisiblePixels) {
  std::mt19937 random(42);
  for (const PathShape& shape : kPaths) {
    const int w = 8 << shape.h_shift, h = 8 << shape.v_shift;
    YccOutput whole(shape, w, h);
    FillRandom(whole, random);
    ASSERT_EQ(whole.Write(0, 0), 0);
    for (const auto& [visible_w, visible_h] :
         {std::pair{w - 1, h}, {w, h - 3}, {5, 7}, {w - 7, 1}}) {
      YccOutput part(shape, visible_w, visible_h);
      std::copy_n(whole.work(), JPEG_MCU_BLOCKS * 64, part.work());
      ASSERT_EQ(part.Write(0, 0), 0);
      for (int y = 0; y < visible_h; ++y)
        for (int x = 0; x < visible_w; ++x) ASSERT_EQ(part.Pixel(x, y), whole.Pixel(x, y));
      const auto& buffer = part.buffer();
      for (int i = 0; i < YccOutput::kGuard; ++i)
        ASSERT_EQ(buffer[buffer.size() - 1 - i], kUntouched);
    }
  }
}

// Bottom-up buffer: image row 0 is the last buffer row; pad bytes stay untouched.
TEST(YccOutputTest, BottomUpRowsGoUpward) {
  const PathShape bgr422 = kPaths[5];
  YccOutput out(bgr422, 16, 8, true, 4);
  std::mt19937 random(3);
  FillRandom(out, random);
  ASSERT_EQ(out.Write(0, 0), 0);
  const auto& buffer = out.buffer();
  const int last_row = YccOutput::kGuard + 7 * out.row_bytes();
  for (int x = 0; x < 16; ++x) {
    const std::vector<int> expected = out.Expected(0, x);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(buffer[last_row + 3 * x + c], expected[c]);
  }
  for (int y = 0; y < 8; ++y)
    for (int p = 48; p < 52; ++p) EXPECT_EQ(buffer[YccOutput::kGuard + y * 52 + p], kUntouched);
}

TEST(YccOutputTest, OnlyTheDedicatedPathsHaveWriters) {
  for (int path : {0, 13, 14, 15, 16, 17, 19}) EXPECT_EQ(jpeg::YccMcuWriter(path), nullptr) << path;
  for (const PathShape& shape : kPaths) EXPECT_NE(jpeg::YccMcuWriter(shape.output_path), nullptr);
}

}  // namespace
