// The table of output paths: every per-MCU writer the frame set-up can install, with
// its path number (output_path), the frame layout its whole-MCU kernel reads, that
// kernel's routine-table slot and its MCU size. SelectOutputConverter picks rows of
// this table; the sink sends whole MCUs of a path's layout to its kernel and every
// other MCU, clipped, to its writer.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/mcu_placement.h"
#include "jpeg/routine_table.h"

namespace jpeg {

struct OutputPath {
  int32_t number;
  WriteMcuRoutine writer;  // any MCU, written inside target.placement.visible
  const char* name;        // for the routine printer
  // The layout the kernel reads: this many components, the first (and a fourth)
  // sampled h x v, the others 1x1. No kernel: the writer takes every MCU.
  int32_t components, h, v;
  OutputKernel RoutineTable::*kernel;
};

// The row of an installed writer; none for a writer the table does not list.
const OutputPath* OutputPathOf(WriteMcuRoutine writer);
// The row of dedicated path 1-19; none for a number without one.
const OutputPath* OutputPathNumbered(int32_t number);

// The kernel the path's whole MCUs take for this frame; none when the frame is not
// coded in the path's layout, or the path has no kernel.
OutputKernel WholeMcuKernel(const RoutineTable& table, const OutputPath* path,
                            const JpegFrameHeader& frame);

// Writes one placed MCU: whole MCUs through `kernel` when there is one, any other
// through `writer`.
Status WritePlacedMcu(JPEG_PROPERTIES& properties, OutputKernel kernel, WriteMcuRoutine writer,
                      const McuTarget& target);

}  // namespace jpeg
