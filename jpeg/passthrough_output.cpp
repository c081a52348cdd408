// Pass-through output. One loop template serves every path: a pixel format says how
// many components and channels there are, how the first component is sampled (the
// others are 1x1) and what bytes one pixel gets. The full kernels are that loop with
// constant bounds; the clipped writers run it over the visible rectangle only. A
// writer handed a frame its layout does not describe (YCbCr output forces the
// upsampling flag off, so a 4:2:2 frame can reach the three-channel interleave) takes
// the component copy, which expands any sampling, instead of misreading the blocks.
#include "jpeg/passthrough_output.h"

#include <algorithm>
#include <cstddef>

#include "jpeg/component_expansion.h"
#include "jpeg/mcu_placement.h"
#include "jpeg/pixel_row.h"
#include "jpeg/routine_table.h"

namespace jpeg {
namespace {

uint8_t Low(int16_t sample) {
  return static_cast<uint8_t>(sample);
}
uint8_t Clamped(int16_t sample) {
  return static_cast<uint8_t>(std::clamp<int16_t>(sample, 0, 255));
}

// Pixel formats. Put writes pixel x of a row from `line`, the row's samples of each
// component already replicated to the MCU's width.
template <int32_t kComponentCount, int32_t kChannelCount, int32_t kHFactor = 1,
          int32_t kVFactor = 1>
struct Format {
  static constexpr int32_t kComponents = kComponentCount;
  static constexpr int32_t kChannels = kChannelCount;
  static constexpr int32_t kH = kHFactor;
  static constexpr int32_t kV = kVFactor;
  using Line = int16_t[kComponentCount][8 * kHFactor];
};

struct Gray : Format<1, 1> {
  static void Put(uint8_t* p, const Line& line, int32_t x) { p[0] = Clamped(line[0][x]); }
};

// Components in order, then `kAlphaChannels` bytes of 255.
template <int32_t kComponentCount, int32_t kAlphaChannels, int32_t kH = 1, int32_t kV = 1>
struct Interleave : Format<kComponentCount, kComponentCount + kAlphaChannels, kH, kV> {
  using Line = typename Format<kComponentCount, kComponentCount + kAlphaChannels, kH, kV>::Line;
  static void Put(uint8_t* p, const Line& line, int32_t x) {
    for (int32_t c = 0; c < kComponentCount; ++c) p[c] = Low(line[c][x]);
    for (int32_t c = kComponentCount; c < kComponentCount + kAlphaChannels; ++c) p[c] = 255;
  }
};

// Gray into three or four channels, as the component copy fills them: the sample in
// channels 0 to 2, then 255. The program's gray pages take this path.
template <int32_t kChannelCount>
struct GrayRepeated : Format<1, kChannelCount> {
  using Line = typename Format<1, kChannelCount>::Line;
  static void Put(uint8_t* p, const Line& line, int32_t x) {
    const uint8_t gray = Low(line[0][x]);
    for (int32_t c = 0; c < kChannelCount; ++c) p[c] = c < 3 ? gray : 255;
  }
};

// Two channels per pixel: Y(2k) Cb(k) Y(2k+1) Cr(k).
struct Pack422 : Format<3, 2, 2, 1> {
  static void Put(uint8_t* p, const Line& line, int32_t x) {
    p[0] = Low(line[0][x]);
    p[1] = Low(line[1 + (x & 1)][x]);
  }
};

// Row y of the MCU: the first component's kH blocks side by side, the others
// replicated kH times across and kV times down.
template <class F>
void GatherRow(const int16_t* const* blocks, int32_t y, typename F::Line& line) {
  const int16_t* luma = blocks[0] + y / 8 * (64 * F::kH) + y % 8 * 8;
  for (int32_t bx = 0; bx < F::kH; ++bx)
    for (int32_t k = 0; k < 8; ++k) line[0][8 * bx + k] = luma[64 * bx + k];
  for (int32_t c = 1; c < F::kComponents; ++c) {
    const int16_t* chroma = blocks[c] + y / F::kV * 8;
    for (int32_t x = 0; x < 8 * F::kH; ++x) line[c][x] = chroma[x / F::kH];
  }
}

// Samples pass through a local row, so the byte stores cannot alias them and the
// full kernels (constant bounds) vectorise.
template <class F>
void WriteRect(const int16_t* const* blocks, uint8_t* out, int32_t row_step, const McuRect& r) {
  for (int32_t y = r.top; y < r.bottom; ++y) {
    typename F::Line line;
    GatherRow<F>(blocks, y, line);
    uint8_t* row = out + static_cast<ptrdiff_t>(y) * row_step;
    for (int32_t x = r.left; x < r.right; ++x) F::Put(row + x * F::kChannels, line, x);
  }
}

template <class F>
void FullKernel(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  WriteRect<F>(blocks, out, row_step, {0, 0, 8 * F::kH, 8 * F::kV});
}

// The frame is coded as the format reads it: a single component (one block per MCU)
// for gray, else the format's component count with only the first one subsampled.
template <class F>
bool HasLayout(const JpegFrameHeader& frame) {
  if (F::kComponents == 1) return frame.component_count == 1;
  if (frame.component_count != F::kComponents) return false;
  if (frame.components[0].h != F::kH || frame.components[0].v != F::kV) return false;
  for (int32_t i = 1; i < F::kComponents; ++i)
    if (frame.components[i].h != 1 || frame.components[i].v != 1) return false;
  return true;
}

// The visible part of the MCU (whole MCUs of the layout take the kernel in the sink).
template <class F>
int32_t WriteFormatMcu(JPEG_PROPERTIES* properties, const McuTarget& target) {
  const JpegState& state = properties->state;
  if (!HasLayout<F>(state.frame)) return WriteComponentCopyMcu(properties, target);
  const int16_t* blocks[F::kComponents];
  blocks[0] = state.mcu_work_buffer;
  for (int32_t i = 1; i < F::kComponents; ++i)
    blocks[i] = state.mcu_work_buffer + 64 * (F::kH * F::kV + i - 1);
  WriteRect<F>(blocks, target.placement.out, state.row_stride, target.placement.visible);
  return JPEG_SUCCESS;
}

using Interleave3 = Interleave<3, 0>;
using Interleave3Alpha = Interleave<3, 1>;
using Interleave4 = Interleave<4, 0>;
using Replicate2x1 = Interleave<3, 0, 2, 1>;
using Replicate2x2 = Interleave<3, 0, 2, 2>;

}  // namespace

// Each format's full kernel and writer: Output<name> and Write<name>Mcu.
#define JPEG_PASS_THROUGH_FORMATS(X) \
  X(Gray)                            \
  X(Interleave3)                     \
  X(Interleave3Alpha)                \
  X(Interleave4)                     \
  X(Replicate2x1)                    \
  X(Replicate2x2)                    \
  X(Pack422)
#define JPEG_DEFINE_PASS_THROUGH_PATH(name)                                     \
  void Output##name(const int16_t* const* blocks, uint8_t* out, int32_t step) { \
    FullKernel<name>(blocks, out, step);                                        \
  }                                                                             \
  int32_t Write##name##Mcu(JPEG_PROPERTIES* p, const McuTarget& t) {            \
    return WriteFormatMcu<name>(p, t);                                          \
  }
JPEG_PASS_THROUGH_FORMATS(JPEG_DEFINE_PASS_THROUGH_PATH)
#undef JPEG_DEFINE_PASS_THROUGH_PATH
#undef JPEG_PASS_THROUGH_FORMATS

namespace {

// A whole block of gray, a row of 8 pixels at a time as words: gray, gray, gray (, 255).
template <int32_t kChannelCount>
void WriteWholeGrayRepeated(const int16_t* block, uint8_t* out, int32_t row_step) {
  constexpr uint32_t kAlpha = kChannelCount == 4 ? 0xFF000000u : 0;
  for (int32_t y = 0; y < 8; ++y) {
    uint32_t words[8];
    for (int32_t x = 0; x < 8; ++x) words[x] = Low(block[8 * y + x]) * 0x010101u | kAlpha;
    StorePixelRow<kChannelCount>(words, out + static_cast<ptrdiff_t>(y) * row_step);
  }
}

// The program's gray pages come this way: whole blocks take the row stores, or the
// processor kernel of the three-channel interleave, whose three components are the
// block (three channels, or three and 255). The plain interleave is slower than the
// row stores.
template <int32_t kChannelCount>
int32_t WriteGrayRepeated(JPEG_PROPERTIES* p, const McuTarget& t) {
  const JpegState& state = p->state;
  if (!HasLayout<GrayRepeated<kChannelCount>>(state.frame) || !IsWhole(t.placement.visible, 8, 8))
    return WriteFormatMcu<GrayRepeated<kChannelCount>>(p, t);
  const RoutineTable& table = *state.routine_table;
  const OutputKernel interleave =
      kChannelCount == 3 ? table.OutputInterleave3 : table.OutputInterleave3Alpha;
  if (interleave != (kChannelCount == 3 ? &OutputInterleave3 : &OutputInterleave3Alpha)) {
    const int16_t* const blocks[3] = {state.mcu_work_buffer, state.mcu_work_buffer,
                                      state.mcu_work_buffer};
    interleave(blocks, t.placement.out, state.row_stride);
  } else {
    WriteWholeGrayRepeated<kChannelCount>(state.mcu_work_buffer, t.placement.out, state.row_stride);
  }
  return JPEG_SUCCESS;
}

}  // namespace

int32_t WriteGrayRepeatedMcu(JPEG_PROPERTIES* p, const McuTarget& t) {
  if (p->state.dib_channels == 3) return WriteGrayRepeated<3>(p, t);
  return WriteGrayRepeated<4>(p, t);
}

// Component i into channel i of every visible pixel, for any sampling.
int32_t WriteComponentCopyMcu(JPEG_PROPERTIES* p, const McuTarget& t) {
  return ExpandMcu(p->state, t).code();
}

}  // namespace jpeg
