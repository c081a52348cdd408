// The MCU sink: the one joint between every scan driver and the output stage.
//
// How a scan driver uses it. Once per scan, after the tables are known, PrepareSink
// records for every block of the scan's MCU its quantisation table, its inverse
// transform at the read's transform size and where it goes. Then, MCU by MCU, the
// driver puts the MCU's quantised coefficients (natural order) into
// state.mcu_work_buffer, in scan order: each scan component's blocks in raster order
// (v outer, h inner), one block per MCU in a scan of one component. They may come from
// the Huffman decoder or from a coefficient store; the driver does not dequantise.
// SinkMcu then dequantises and transforms them in place and writes the MCU, at its
// position in the scan's grid, through the installed converter. Reads that deliver
// coefficients, and MCUs a region read skips, do not reach the sink. Nothing is
// allocated per MCU; a smooth read gets its delay store once per scan, and FinishSink
// writes what that store still holds when the scan ends.
#pragma once

#include <cstdint>

#include "jpeg/generic_output.h"
#include "jpeg/idct.h"
#include "jpeg/jpeg_codec.h"
#include "jpeg/mcu_placement.h"
#include "jpeg/read_geometry.h"
#include "jpeg/routine_table.h"
#include "jpeg/status.h"

namespace jpeg {

// The T.81 limit on blocks in an interleaved MCU; the work buffer holds one more.
inline constexpr int32_t kMaxBlocksPerMcu = 10;
static_assert(kMaxBlocksPerMcu < JPEG_MCU_BLOCKS);

struct SinkBlock {
  const int16_t* quant;         // prepared table of the block's component
  InverseDctRoutine transform;  // at the read's transform size
  // Dequantisation and transform in one pass, where a kernel does both (else none).
  DequantizeTransformRoutine dequantize_transform;
  int8_t component;           // frame component
  int8_t h, v;                // block position within its component's part of the MCU
  int8_t h_blocks, v_blocks;  // that component's blocks per MCU across and down
};

struct McuSink {
  ReadGeometry geometry;
  int32_t block_count;
  // An image whose scans cover fewer components than the frame is written block by
  // block, each named by state.output_component with its coordinates in its component.
  bool block_by_block;
  // Smooth upsampling: MCUs go through the delay store of the smooth path instead.
  bool smooth;
  WriteMcuRoutine writer;         // the installed converter, or the scaled writer
  OutputKernel whole_mcu_kernel;  // of the installed path, for this frame
  // Reduced reads whose layout has a whole-MCU writer: the MCUs shown whole go straight to
  // it, at byte origin + mcu_column * column_step + mcu_row * mcu_row_step of the window's
  // pixels. It forms the samples of the first `writer_blocks` blocks (of the 1x1 precise
  // transform) itself, from their quantised DC and `quant`, the components' tables (none
  // when it forms none).
  WholeReducedMcuWriter whole_reduced = nullptr;  // none until PrepareSink succeeds
  WholeMcus whole_mcus;
  int64_t origin, column_step, mcu_row_step;
  int32_t writer_blocks;
  const int16_t* const* writer_quant;
  const int16_t* quant[JPEG_MAX_COMPONENTS];
  SinkBlock blocks[kMaxBlocksPerMcu];
};

// Installs the transforms for dct_method, matches the scan's quantisation tables to it
// and fills the sink for the scan and the read's geometry. "Unsupported subsampling"
// when the MCU holds more blocks than T.81 allows.
Status PrepareSink(JpegState& state, const JpegScanHeader& scan, McuSink& sink);

// Dequantises and transforms the MCU's blocks from block `first` on, in place in `blocks`.
inline void TransformBlocks(const RoutineTable& table, const McuSink& sink, int32_t first,
                            int16_t* blocks) {
  for (int32_t i = first; i < sink.block_count; ++i) {
    const SinkBlock& b = sink.blocks[i];
    int16_t* block = blocks + 64 * i;
    if (b.dequantize_transform != nullptr) {
      b.dequantize_transform(block, b.quant);
      continue;
    }
    table.Dequantize(block, b.quant);
    b.transform(block);
  }
}

// SinkMcu for every MCU but those the whole-MCU writer of a reduced read takes.
Status SinkAnyMcu(JPEG_PROPERTIES& properties, const McuSink& sink, int32_t mcu_column,
                  int32_t mcu_row);

// Dequantises, transforms and writes the MCU in the work buffer at (mcu_column,
// mcu_row) of the scan's grid. "Invalid JPEG_PROPERTIES" when no converter is
// installed for the image, so a read never writes with one left from an earlier image
// (PrepareSink sets no whole-MCU writer then). Inline, so that the scan drivers' loops hand
// whole MCUs of reduced reads, a few pixels each, to their writer without a call between.
inline Status SinkMcu(JPEG_PROPERTIES& properties, const McuSink& sink, int32_t mcu_column,
                      int32_t mcu_row) {
  if (sink.whole_reduced == nullptr || !sink.whole_mcus.Holds(mcu_column, mcu_row))
    return SinkAnyMcu(properties, sink, mcu_column, mcu_row);
  JpegState& state = properties.state;
  TransformBlocks(*state.routine_table, sink, sink.writer_blocks, state.mcu_work_buffer);
  const OutputWindow& window = sink.geometry.window;
  sink.whole_reduced(
      state.mcu_work_buffer, sink.writer_quant,
      window.pixels + (sink.origin + mcu_column * sink.column_step + mcu_row * sink.mcu_row_step),
      window.row_step);
  return JPEG_SUCCESS;
}

// After the scan's MCUs, however the scan ended: writes the output still held back.
void FinishSink(JPEG_PROPERTIES& properties, const McuSink& sink);

}  // namespace jpeg
