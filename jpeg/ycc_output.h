// The dedicated YCbCr output paths 1-12: YCbCr 1x1, 4:2:2 (Y 2x1) and 4:2:0 (Y 2x2)
// to RGB, BGR and RGBA, and four-component YCbCrA 1x1, 4:2:2 and 4:2:0 to inverted
// RGB plus the fourth component. Chroma is box-replicated. Each path has a full-MCU
// kernel (a routine-table slot, so that processor-specific kernels can take its place),
// which the sink gives whole MCUs, and a per-MCU converter for the rest: the plain
// clipped kernel, one 8x8 luma quadrant at a time.
#pragma once

#include <cstdint>

#include "jpeg/routine_table.h"

namespace jpeg {

// Puts the plain full-MCU kernels of paths 1-12 into slots 36-44 and 50-52.
void InstallPlainYccKernels(RoutineTable& table);

// The per-MCU converter (WriteMcuOutput) of a dedicated path 1-12; none otherwise.
WriteMcuRoutine YccMcuWriter(int32_t output_path);

// Row `index` (0..11) of the output-path table's dedicated YCbCr paths.
inline constexpr int32_t kYccOutputPathCount = 12;
struct OutputPath;
OutputPath YccOutputPath(int32_t index);

}  // namespace jpeg
