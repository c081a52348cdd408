// A properties record set up as a read leaves it just before the colour output: a
// frame with chosen sampling factors, the caller's buffer laid out with its row
// stride (bottom-up when the height is negative), and a filled routine table. The
// buffer is surrounded by guard bytes and every byte starts as kUntouched, so a test
// can tell exactly which bytes a writer changed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "jpeg/mcu_placement.h"
#include "jpeg/output_paths.h"
#include "jpeg/read_geometry.h"
#include "jpeg/routine_table.h"

namespace jpeg_test {

inline constexpr uint8_t kUntouched = 0xA5;
inline constexpr size_t kGuardBytes = 64;

class OutputRig {
 public:
  // Sample value of component c at sample position (column, row) of the whole image.
  using SampleFunction = std::function<int16_t(int c, int column, int row)>;

  OutputRig()
      : properties_(std::make_unique<JPEG_PROPERTIES>()), table_(std::make_unique<RoutineTable>()) {
    jpeg::SetUpRoutineTable(table_.get());
    state().routine_table = table_.get();
  }

  JpegState& state() { return properties_->state; }
  JPEG_PROPERTIES* properties() { return properties_.get(); }
  RoutineTable& table() { return *table_; }

  // The frame: image size and each component's {H, V}.
  void SetFrame(int width, int height, std::vector<std::pair<int, int>> factors,
                uint32_t jpeg_color) {
    JpegFrameHeader& frame = state().frame;
    frame.width = static_cast<uint32_t>(width);
    frame.height = static_cast<uint32_t>(height);
    frame.component_count = static_cast<int32_t>(factors.size());
    frame.h_max = frame.v_max = 1;
    for (size_t i = 0; i < factors.size(); ++i) {
      frame.components[i].h = factors[i].first;
      frame.components[i].v = factors[i].second;
      frame.h_max = std::max(frame.h_max, factors[i].first);
      frame.v_max = std::max(frame.v_max, factors[i].second);
    }
    frame.mcu_width = 8 * frame.h_max;
    frame.mcu_height = 8 * frame.v_max;
    state().jpeg_color = jpeg_color;
    state().jpeg_channels = static_cast<uint32_t>(factors.size());
  }

  // The caller's buffer, as JpegRead lays it out.
  void SetBuffer(int width, int height, int channels, int pad, uint32_t dib_color,
                 uint32_t color_convert = 0) {
    stride_ = static_cast<size_t>(width * channels + pad);
    rows_ = static_cast<size_t>(std::abs(height));
    bytes_.assign(rows_ * stride_ + 2 * kGuardBytes, kUntouched);
    JpegState& s = state();
    s.dib_pixels = bytes_.data() + kGuardBytes;
    s.dib_width = static_cast<uint32_t>(width);
    s.dib_height = height;
    s.dib_pad_bytes = static_cast<uint32_t>(pad);
    s.dib_channels = static_cast<uint32_t>(channels);
    s.dib_color = dib_color;
    s.color_convert_flag = color_convert;
    s.row_stride = static_cast<int32_t>(stride_);
    s.output_start = s.dib_pixels;
    if (height < 0) {
      s.output_start = s.dib_pixels + (rows_ - 1) * stride_;
      s.row_stride = -s.row_stride;
    }
  }

  // Fills the work buffer with the blocks of interleaved MCU (mcu_column, mcu_row):
  // each component's H x V blocks in raster order, from the whole-image sample function.
  void FillMcu(int mcu_column, int mcu_row, const SampleFunction& sample) {
    const JpegFrameHeader& frame = state().frame;
    int16_t* block = state().mcu_work_buffer;
    for (int c = 0; c < frame.component_count; ++c) {
      const int h = frame.components[c].h, v = frame.components[c].v;
      for (int by = 0; by < v; ++by)
        for (int bx = 0; bx < h; ++bx, block += 64)
          FillBlock(block, c, (mcu_column * h + bx) * 8, (mcu_row * v + by) * 8, sample);
    }
  }

  // Fills block 0 with block (block_column, block_row) of component c.
  void FillComponentBlock(int c, int block_column, int block_row, const SampleFunction& sample) {
    FillBlock(state().mcu_work_buffer, c, block_column * 8, block_row * 8, sample);
  }

  // Writes interleaved MCU (column, row) as the sink does with `writer` installed
  // (whole MCUs of its layout through its kernel), or block (column, row) of
  // component c.
  int32_t Write(jpeg::WriteMcuRoutine writer, int column, int row) {
    geometry_ = jpeg::ComputeReadGeometry(state());
    jpeg::McuTarget target;
    const int32_t status = jpeg::TargetMcu(geometry_, column, row, target).code();
    if (status != 0) return status;
    table().WriteMcuOutput = writer;
    return jpeg::WritePlacedMcu(
               *properties(),
               jpeg::WholeMcuKernel(table(), jpeg::OutputPathOf(writer), state().frame), writer,
               target)
        .code();
  }
  int32_t WriteBlock(jpeg::WriteMcuRoutine writer, int c, int column, int row) {
    geometry_ = jpeg::ComputeReadGeometry(state());
    jpeg::McuTarget target;
    const int32_t status = jpeg::TargetBlock(geometry_, c, column, row, target).code();
    return status != 0 ? status : writer(properties(), target);
  }

  // The buffer with its guards.
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  // Image pixel (x, y), channel ch.
  uint8_t At(int x, int y, int ch) const { return *PixelAddress(x, y, ch); }
  uint8_t& At(int x, int y, int ch) { return const_cast<uint8_t&>(*PixelAddress(x, y, ch)); }

  // True when every byte outside the first `width` x `height` pixels of the image
  // (guards, pad bytes, pixels beyond) still holds kUntouched.
  bool OutsideUntouched(int width, int height) const {
    const int channels = static_cast<int>(properties_->state.dib_channels);
    std::vector<bool> inside(bytes_.size(), false);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        for (int ch = 0; ch < channels; ++ch)
          inside[static_cast<size_t>(PixelAddress(x, y, ch) - bytes_.data())] = true;
    for (size_t i = 0; i < bytes_.size(); ++i)
      if (!inside[i] && bytes_[i] != kUntouched) return false;
    return true;
  }

 private:
  static void FillBlock(int16_t* block, int c, int column, int row, const SampleFunction& sample) {
    for (int r = 0; r < 8; ++r)
      for (int k = 0; k < 8; ++k) block[8 * r + k] = sample(c, column + k, row + r);
  }

  const uint8_t* PixelAddress(int x, int y, int ch) const {
    const JpegState& s = properties_->state;
    return s.output_start + static_cast<ptrdiff_t>(y) * s.row_stride +
           static_cast<ptrdiff_t>(x) * s.dib_channels + ch;
  }

  std::unique_ptr<JPEG_PROPERTIES> properties_;
  std::unique_ptr<RoutineTable> table_;
  jpeg::ReadGeometry geometry_{};
  std::vector<uint8_t> bytes_;
  size_t stride_ = 0, rows_ = 0;
};

}  // namespace jpeg_test
