// The MCU sink: per block dequantisation and inverse transform through the routine
// table, then the converter, once per MCU or, for images written a component at a
// time, once per block.
#include "jpeg/mcu_sink.h"

#include "jpeg/generic_output.h"
#include "jpeg/idct.h"
#include "jpeg/markers.h"
#include "jpeg/mcu_placement.h"
#include "jpeg/output_paths.h"
#include "jpeg/smooth_output.h"

namespace jpeg {
namespace {

InverseDctRoutine TransformOfSize(const RoutineTable& table, int32_t size) {
  switch (size) {
    case 8:
      return table.InverseDct8x8;
    case 4:
      return table.InverseDct4x4;
    case 2:
      return table.InverseDct2x2;
    default:
      return table.InverseDct1x1;
  }
}

// The tables were prepared when their DQT was read; a caller may have changed
// dct_method since (between a parameters read and the image read, say).
void MatchQuantTablesToMethod(JpegState& state, const JpegScanHeader& scan) {
  for (int32_t j = 0; j < scan.component_count; ++j) {
    JpegQuantTableSlot& slot = state.quant_tables[scan.components[j].quant_table];
    if (slot.prepared_for != state.dct_method) PrepareQuantTable(slot, state.dct_method);
  }
}

Status WriteBlockByBlock(JPEG_PROPERTIES& properties, const McuSink& sink, int32_t mcu_column,
                         int32_t mcu_row) {
  JpegState& state = properties.state;
  int16_t* block = state.mcu_work_buffer;
  for (int32_t i = 0; i < sink.block_count; ++i, block += 64) {
    const SinkBlock& b = sink.blocks[i];
    if (block != state.mcu_work_buffer) CodecCopy(state.mcu_work_buffer, block, 64 * 2);
    state.output_component = b.component;
    McuTarget target;
    Status status = TargetBlock(sink.geometry, b.component, mcu_column * b.h_blocks + b.h,
                                mcu_row * b.v_blocks + b.v, target);
    if (status.ok() && !IsEmpty(target.placement.visible))
      status = sink.writer(&properties, target);
    if (!status.ok()) return status;
  }
  return JPEG_SUCCESS;
}

// The whole-MCU writer of a reduced read, for a scan of every frame component in frame
// order (the writer's block layout).
void PrepareWholeReducedWriter(const JpegState& state, const JpegScanHeader& scan, McuSink& sink) {
  const ReadGeometry& g = sink.geometry;
  sink.whole_reduced = nullptr;
  sink.writer_blocks = 0;
  if (g.scale == 1 || sink.block_by_block || sink.writer == nullptr ||
      state.routine_table->WriteMcuOutput == nullptr || scan.component_count != g.component_count)
    return;
  for (int32_t j = 0; j < scan.component_count; ++j)
    if (scan.components[j].frame_index != j) return;
  sink.whole_reduced = WholeReducedMcuWriterOf(state, g);
  if (sink.whole_reduced == nullptr) return;
  sink.whole_mcus = WholeMcusOf(g.window, g.mcu_width, g.mcu_height);
  sink.origin = PixelOffset(g.window, 0, 0);
  sink.column_step = int64_t{g.mcu_width} * g.window.channels;
  sink.mcu_row_step = int64_t{g.mcu_height} * g.window.row_step;
  for (int32_t j = 0; j < scan.component_count; ++j)
    sink.quant[j] = state.quant_tables[scan.components[j].quant_table].values;
  if (state.dct_method == DCT_METHOD_PRECISE)
    while (sink.writer_blocks < sink.block_count &&
           g.components[sink.blocks[sink.writer_blocks].component].block_size == 1)
      ++sink.writer_blocks;
  sink.writer_quant = sink.writer_blocks > 0 ? sink.quant : nullptr;
}

}  // namespace

Status PrepareSink(JpegState& state, const JpegScanHeader& scan, McuSink& sink) {
  RoutineTable& table = *state.routine_table;
  SelectDctRoutines(table, state.dct_method);
  MatchQuantTablesToMethod(state, scan);
  const bool one_component = scan.component_count == 1;
  sink.geometry = ComputeReadGeometry(state);
  const bool reduced = sink.geometry.scale > 1;
  sink.block_count = 0;
  sink.block_by_block = state.interleave_type == 1;
  sink.smooth = !reduced && !sink.block_by_block && SmoothUpsamplingApplies(state);
  // Reduced MCUs are no kernel's layout: the scaled writer is the generic expansion,
  // whose plane geometry follows the transform sizes (images written a component at a
  // time keep their block writers, which follow it too).
  sink.writer = reduced && !sink.block_by_block ? &WriteGenericMcu : table.WriteMcuOutput;
  sink.whole_mcu_kernel =
      reduced ? nullptr : WholeMcuKernel(table, OutputPathOf(table.WriteMcuOutput), state.frame);
  // The two-channel 4:2:2 packing has no reduced form: refused rather than half-written.
  if (reduced && state.output_path == 19) return JPEG_ERR_NOT_SUPPORTED;
  for (int32_t j = 0; j < scan.component_count; ++j) {
    const JpegScanComponent& c = scan.components[j];
    const int32_t h_blocks = one_component ? 1 : c.h, v_blocks = one_component ? 1 : c.v;
    if (sink.block_count + h_blocks * v_blocks > kMaxBlocksPerMcu) return JPEG_ERR_SUBSAMPLING;
    const InverseDctRoutine transform =
        TransformOfSize(table, sink.geometry.components[c.frame_index].block_size);
    const DequantizeTransformRoutine dequantize_transform =
        FusedDequantizeTransform(table, transform);
    for (int32_t v = 0; v < v_blocks; ++v)
      for (int32_t h = 0; h < h_blocks; ++h)
        sink.blocks[sink.block_count++] = {state.quant_tables[c.quant_table].values,
                                           transform,
                                           dequantize_transform,
                                           static_cast<int8_t>(c.frame_index),
                                           static_cast<int8_t>(h),
                                           static_cast<int8_t>(v),
                                           static_cast<int8_t>(h_blocks),
                                           static_cast<int8_t>(v_blocks)};
  }
  PrepareWholeReducedWriter(state, scan, sink);
  return sink.smooth ? StartSmoothOutput(state, sink.geometry) : JPEG_SUCCESS;
}

Status SinkAnyMcu(JPEG_PROPERTIES& properties, const McuSink& sink, int32_t mcu_column,
                  int32_t mcu_row) {
  JpegState& state = properties.state;
  const RoutineTable& table = *state.routine_table;
  if (table.WriteMcuOutput == nullptr || sink.writer == nullptr) return JPEG_ERR_INVALID_PROPERTIES;
  TransformBlocks(table, sink, 0, state.mcu_work_buffer);
  if (sink.block_by_block) return WriteBlockByBlock(properties, sink, mcu_column, mcu_row);
  if (sink.smooth) return SmoothOutputMcu(properties, sink.geometry, mcu_column, mcu_row);
  McuTarget target;
  const Status status = TargetMcu(sink.geometry, mcu_column, mcu_row, target);
  if (!status.ok() || IsEmpty(target.placement.visible)) return status;
  return WritePlacedMcu(properties, sink.whole_mcu_kernel, sink.writer, target);
}

void FinishSink(JPEG_PROPERTIES& properties, const McuSink& sink) {
  if (sink.smooth) FlushSmoothOutput(properties, sink.geometry);
}

}  // namespace jpeg
