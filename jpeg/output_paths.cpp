// The output-path table: the dedicated YCbCr rows come from ycc_output (whose
// templates make their writers and kernels), the rest are listed here.
#include "jpeg/output_paths.h"

#include <array>

#include "jpeg/generic_output.h"
#include "jpeg/passthrough_output.h"
#include "jpeg/ycc_output.h"

namespace jpeg {
namespace {

using T = RoutineTable;
constexpr OutputPath kOtherPaths[] = {
    {13, &WriteInterleave3AlphaMcu, "WriteInterleave3AlphaMcu", 3, 1, 1,
     &T::OutputInterleave3Alpha},
    {14, &WriteInterleave4Mcu, "WriteInterleave4Mcu", 4, 1, 1, &T::OutputInterleave4},
    {15, &WriteInterleave3Mcu, "WriteInterleave3Mcu", 3, 1, 1, &T::OutputInterleave3},
    {16, &WriteReplicate2x2Mcu, "WriteReplicate2x2Mcu", 3, 2, 2, &T::OutputReplicate2x2},
    {17, &WriteReplicate2x1Mcu, "WriteReplicate2x1Mcu", 3, 2, 1, &T::OutputReplicate2x1},
    {19, &WritePack422Mcu, "WritePack422Mcu", 3, 2, 1, &T::OutputPack422},
    {0, &WriteGrayMcu, "WriteGrayMcu", 1, 1, 1, &T::OutputGray},
    {0, &WriteGrayRepeatedMcu, "WriteGrayRepeatedMcu", 0, 0, 0, nullptr},
    {0, &WriteComponentCopyMcu, "WriteComponentCopyMcu", 0, 0, 0, nullptr},
    {0, &WriteGenericMcu, "WriteGenericMcu", 0, 0, 0, nullptr},
    {0, &WriteNonInterleavedBlock, "WriteNonInterleavedBlock", 0, 0, 0, nullptr},
    {0, &WriteNonInterleavedYccBlock, "WriteNonInterleavedYccBlock", 0, 0, 0, nullptr},
};
constexpr size_t kPathCount = kYccOutputPathCount + std::size(kOtherPaths);

const std::array<OutputPath, kPathCount>& Paths() {
  static const std::array<OutputPath, kPathCount> paths = [] {
    std::array<OutputPath, kPathCount> all{};
    size_t n = 0;
    for (int32_t i = 0; i < kYccOutputPathCount; ++i) all[n++] = YccOutputPath(i);
    for (const OutputPath& path : kOtherPaths) all[n++] = path;
    return all;
  }();
  return paths;
}

bool Is(const JpegFrameComponent& c, int32_t h, int32_t v) {
  return c.h == h && c.v == v;
}

// The first component (and a fourth) h x v, the others 1x1; one component in any
// sampling, since it is coded one block per MCU.
bool HasLayout(const OutputPath& path, const JpegFrameHeader& frame) {
  if (frame.component_count != path.components) return false;
  if (frame.component_count == 1) return true;
  for (int32_t i = 0; i < frame.component_count; ++i) {
    const bool subsampled = i == 0 || i == 3;
    if (!Is(frame.components[i], subsampled ? path.h : 1, subsampled ? path.v : 1)) return false;
  }
  return true;
}

}  // namespace

const OutputPath* OutputPathOf(WriteMcuRoutine writer) {
  for (const OutputPath& path : Paths())
    if (path.writer == writer) return &path;
  return nullptr;
}

const OutputPath* OutputPathNumbered(int32_t number) {
  if (number == 0) return nullptr;
  for (const OutputPath& path : Paths())
    if (path.number == number) return &path;
  return nullptr;
}

OutputKernel WholeMcuKernel(const RoutineTable& table, const OutputPath* path,
                            const JpegFrameHeader& frame) {
  if (path == nullptr || path->kernel == nullptr || !HasLayout(*path, frame)) return nullptr;
  return table.*path->kernel;
}

Status WritePlacedMcu(JPEG_PROPERTIES& properties, OutputKernel kernel, WriteMcuRoutine writer,
                      const McuTarget& target) {
  const JpegState& state = properties.state;
  const ReadGeometry& g = *target.geometry;
  if (kernel != nullptr && IsWhole(target.placement.visible, g.mcu_width, g.mcu_height)) {
    const int16_t* work = state.mcu_work_buffer;
    const int32_t luma_blocks = g.components[0].h * g.components[0].v;
    const int16_t* const blocks[4] = {work, work + 64 * luma_blocks, work + 64 * (luma_blocks + 1),
                                      work + 64 * (luma_blocks + 2)};
    kernel(blocks, target.placement.out, state.row_stride);
    return JPEG_SUCCESS;
  }
  return writer(&properties, target);
}

}  // namespace jpeg
