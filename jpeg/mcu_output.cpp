// OutputMcu: inverse transforms through the routine table, then the MCU writer.
#include "jpeg/mcu_output.h"

#include "jpeg/routine_table.h"

namespace jpeg {
namespace {

int32_t OutputBlockByBlock(JPEG_PROPERTIES& properties, const JpegScanHeader& scan,
                           int32_t mcu_column, int32_t mcu_row) {
  JpegState& state = properties.state;
  RoutineTable& table = *state.routine_table;
  const bool one_component = scan.component_count == 1;
  int16_t* block = state.mcu_work_buffer;
  for (int32_t j = 0; j < scan.component_count; ++j) {
    const JpegScanComponent& c = scan.components[j];
    const int32_t h_blocks = one_component ? 1 : c.h, v_blocks = one_component ? 1 : c.v;
    for (int32_t v = 0; v < v_blocks; ++v) {
      for (int32_t h = 0; h < h_blocks; ++h, block += 64) {
        table.InverseDct8x8(block);
        if (block != state.mcu_work_buffer) CodecCopy(state.mcu_work_buffer, block, 64 * 2);
        state.output_component = c.frame_index;
        const int32_t status =
            table.WriteMcuOutput(&properties, mcu_column * h_blocks + h, mcu_row * v_blocks + v);
        if (status != JPEG_SUCCESS) return status;
      }
    }
  }
  return JPEG_SUCCESS;
}

}  // namespace

int32_t OutputMcu(JPEG_PROPERTIES& properties, const JpegScanHeader& scan, int32_t mcu_column,
                  int32_t mcu_row, int32_t blocks_per_mcu) {
  JpegState& state = properties.state;
  RoutineTable& table = *state.routine_table;
  if (table.WriteMcuOutput == nullptr) return JPEG_ERR_INVALID_PROPERTIES;
  if (state.interleave_type == 1) return OutputBlockByBlock(properties, scan, mcu_column, mcu_row);
  int16_t* block = state.mcu_work_buffer;
  for (int32_t i = 0; i < blocks_per_mcu; ++i, block += 64) table.InverseDct8x8(block);
  return table.WriteMcuOutput(&properties, mcu_column, mcu_row);
}

}  // namespace jpeg
