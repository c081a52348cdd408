// Output converter selection. The record's geometry fields come first, from the read
// geometry. The converter then follows from the
// two colour flags, the component count n, dib_channels (ch), dib_color (col) and the
// sampling: dedicated paths for the common YCbCr layouts, pass-through paths where no
// arithmetic is needed, the generic path for any other sampling.
#include "jpeg/output_select.h"

#include "jpeg/generic_output.h"
#include "jpeg/output_paths.h"
#include "jpeg/passthrough_output.h"
#include "jpeg/read_geometry.h"
#include "jpeg/routine_table.h"
#include "jpeg/smooth_output.h"
#include "jpeg/subsampling.h"

namespace jpeg {
namespace {

// The sampling layouts the dedicated and pass-through paths know.
enum class Sampling { kAll1x1, kLuma2x1, kLuma2x2, kOther };

// Y (and, for four components, the fourth component) 2x1 or 2x2, chroma 1x1: the
// arrangements the subsampling codes name.
Sampling LayoutOf(const JpegFrameHeader& frame) {
  switch (SubsamplingCode(frame)) {
    case SUBSAMPLING_NONE:
      return Sampling::kAll1x1;
    case SUBSAMPLING_H2V1:
    case SUBSAMPLING_H2V1_4CH:
      return Sampling::kLuma2x1;
    case SUBSAMPLING_H2V2:
    case SUBSAMPLING_H2V2_4CH:
      return Sampling::kLuma2x2;
    default:
      return Sampling::kOther;
  }
}

// The record's copy of the read geometry. A non-interleaved image decodes 8x8 MCUs but
// keeps the interleaved grid for its output.
void SetGeometry(JpegState& state) {
  const ReadGeometry geometry = ComputeReadGeometry(state);
  JpegFrameHeader& frame = state.frame;
  frame.h_max = geometry.frame_h_max;
  frame.v_max = geometry.frame_v_max;
  frame.mcu_width = state.interleave_type == 1 ? 8 : 8 * geometry.frame_h_max;
  frame.mcu_height = state.interleave_type == 1 ? 8 : 8 * geometry.frame_v_max;
  state.mcus_across = geometry.mcus_across;
  state.mcus_down = geometry.mcus_down;
}

void SetColorFlags(JpegState& state) {
  const uint32_t jpeg_color = state.jpeg_color, dib_color = state.dib_color;
  state.color_convert_flag = jpeg_color == COLOR_RGB || jpeg_color == COLOR_GRAY ||
                                     jpeg_color == COLOR_RGBA || jpeg_color == COLOR_OTHER ||
                                     dib_color == COLOR_YCBCR || dib_color == COLOR_GRAY
                                 ? 0
                                 : 1;
  state.upsample_flag = state.frame.h_max * state.frame.v_max > 1 && dib_color != COLOR_YCBCR;
}

// The converter of an image: a row of the output-path table, none when no row fits.
using Converter = const OutputPath*;

constexpr Converter kNone = nullptr;
const Converter kGeneric = OutputPathOf(&WriteGenericMcu);
const Converter kComponentCopy = OutputPathOf(&WriteComponentCopyMcu);

Converter Dedicated(int32_t output_path) {
  return OutputPathNumbered(output_path);
}

// Both flags: YCbCr with subsampled chroma.
Converter ConvertAndUpsample(uint32_t n, uint32_t ch, uint32_t col, Sampling sampling) {
  struct Row {
    uint32_t n, ch, col;
    int32_t path_2x2, path_2x1;
  };
  static constexpr Row kRows[] = {{3, 3, COLOR_RGB, 3, 5},
                                  {3, 3, COLOR_BGR, 4, 6},
                                  {3, 4, COLOR_RGBA, 8, 9},
                                  {4, 4, COLOR_RGBA, 11, 12}};
  for (const Row& row : kRows) {
    if (row.n != n || row.ch != ch || row.col != col) continue;
    if (sampling == Sampling::kLuma2x2) return Dedicated(row.path_2x2);
    if (sampling == Sampling::kLuma2x1) return Dedicated(row.path_2x1);
    return kGeneric;
  }
  return kNone;
}

// Upsampling without conversion.
Converter UpsampleOnly(uint32_t n, uint32_t ch, uint32_t col, Sampling sampling) {
  if (n == 3 && ch == 3 && col != COLOR_BGR) {
    if (sampling == Sampling::kLuma2x2) return Dedicated(16);
    if (sampling == Sampling::kLuma2x1) return Dedicated(17);
    return kGeneric;
  }
  if ((n == 3 && (ch == 1 || ch == 3 || ch == 4)) || (n == 4 && (ch == 3 || ch == 4)))
    return kGeneric;
  return kNone;
}

// Conversion of full-resolution YCbCr.
Converter ConvertOnly(uint32_t n, uint32_t ch, uint32_t col) {
  if (n == 3 && ch == 3 && col == COLOR_RGB) return Dedicated(1);
  if (n == 3 && ch == 3 && col == COLOR_BGR) return Dedicated(2);
  if (n == 3 && ch == 4 && col == COLOR_RGBA) return Dedicated(7);
  if (n == 4 && ch == 4 && col == COLOR_RGBA) return Dedicated(10);
  return kNone;
}

// Samples moved as they are.
Converter PassThrough(uint32_t n, uint32_t ch, uint32_t col, Sampling sampling, bool gray) {
  if (n == 1 && ch == 1) return OutputPathOf(&WriteGrayMcu);
  if (n == 1 && (ch == 3 || ch == 4) && gray) return OutputPathOf(&WriteGrayRepeatedMcu);
  if (n == 1) return kComponentCopy;
  if (n == 2 || (n == 3 && ch == 1)) return kComponentCopy;
  if (n == 3 && ch == 2) return sampling == Sampling::kLuma2x1 ? Dedicated(19) : kNone;
  if (n == 3 && ch == 3) return col == COLOR_BGR ? kComponentCopy : Dedicated(15);
  if (n == 3 && ch == 4) return col == COLOR_RGBA ? Dedicated(13) : kComponentCopy;
  if (n == 4 && ch == 3) return kComponentCopy;
  if (n == 4 && ch == 4) return Dedicated(14);
  return kNone;
}

Converter ChooseConverter(const JpegState& state) {
  const auto n = static_cast<uint32_t>(state.frame.component_count);
  const uint32_t ch = state.dib_channels, col = state.dib_color;
  const Sampling sampling = LayoutOf(state.frame);
  if (state.interleave_type == 1)
    return OutputPathOf(col == COLOR_YCBCR ? &WriteNonInterleavedYccBlock
                                           : &WriteNonInterleavedBlock);
  // One component makes one block per MCU whatever its sampling factors (T.81 A.2.2),
  // so there is nothing to upsample.
  const bool upsample = state.upsample_flag != 0 && n > 1;
  const bool convert = state.color_convert_flag != 0;
  if (!upsample)
    return convert ? ConvertOnly(n, ch, col)
                   : PassThrough(n, ch, col, sampling, state.jpeg_color == COLOR_GRAY);
  const Converter converter =
      convert ? ConvertAndUpsample(n, ch, col, sampling) : UpsampleOnly(n, ch, col, sampling);
  // The smooth filter belongs to the generic path, in place of every dedicated upsampler.
  return converter != kNone && SmoothUpsamplingApplies(state) ? kGeneric : converter;
}

}  // namespace

int32_t SelectOutputConverter(JPEG_PROPERTIES& properties) {
  JpegState& state = properties.state;
  RoutineTable& table = *state.routine_table;
  InstallRoutine(table, table.WriteMcuOutput, WriteMcuRoutine{nullptr}, nullptr);
  state.output_path = 0;
  const int32_t n = state.frame.component_count;
  if (n < 1 || n > JPEG_MAX_COMPONENTS) return JPEG_ERR_COMP;
  SetGeometry(state);
  SetColorFlags(state);
  if (n == 3 && state.jpeg_color == COLOR_YCBCR && state.dib_color == COLOR_YCBCR &&
      LayoutOf(state.frame) != Sampling::kLuma2x1)
    return JPEG_ERR_INVALID_PROPERTIES;
  const Converter converter = ChooseConverter(state);
  if (converter == kNone) return JPEG_SUCCESS;
  state.output_path = converter->number;
  InstallRoutine(table, table.WriteMcuOutput, converter->writer, converter->name);
  return JPEG_SUCCESS;
}

}  // namespace jpeg
