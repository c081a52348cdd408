// The sequential scan driver (T.81 E.2.3 and F.2.2): for every MCU of the scan's
// grid, each block is Huffman-decoded into the aligned MCU work buffer, the restart
// interval is processed, and the MCU goes to the sink. Nothing is allocated: the work buffer lives
// in the properties record. Memory input that ends inside the scan supplies zero bits; once every
// real bit has been decoded the rest of the scan would decode padding alone, so the scan ends there
// and a frame that claims far more MCUs than its bytes hold costs no more time than its bytes.
#include "jpeg/scan_decode.h"

#include <algorithm>

#include "jpeg/huffman_decode.h"
#include "jpeg/input_stream.h"
#include "jpeg/markers.h"
#include "jpeg/mcu_sink.h"
#include "jpeg/progressive_decode.h"
#include "jpeg/read_geometry.h"
#include "jpeg/read_modes.h"
#include "jpeg/routine_table.h"

namespace jpeg {
namespace {

// Every block takes at least two bits (a DC code and an end of block) and the bit
// buffer holds at most 64, so this many MCUs after the input ran dry consume them all.
constexpr int32_t kMcusAfterInputEnd = 32;

// No more entropy-coded bits will come: memory input ran dry, or a marker ended the
// scan's data other than an RSTn its restart points will take (after a lost RSTn the
// data goes on at its restart point; in a scan without restarts, none ever takes it).
bool EntropyDataEnded(const JpegInputStream& stream, const JpegScanHeader& scan) {
  const int32_t marker = stream.pending_marker;
  const bool restart = marker >= kMarkerRst0 && marker <= kMarkerRst7;
  return MemoryInputRanDry(stream) || (marker != 0 && !(restart && scan.restart_interval != 0));
}

// Whether grid row y of the scan lies wholly below the rows the caller's buffer holds.
bool RowBelowOutput(const ReadGeometry& geometry, const JpegScanHeader& scan, int32_t y) {
  const int32_t v =
      scan.component_count > 1 ? 1 : geometry.components[scan.components[0].frame_index].v;
  const int64_t top = int64_t{y} * (geometry.mcu_height / v);
  return top >= geometry.window.visible.bottom;
}

// Once the data has ended and the bit buffer is spent, every further MCU is a zero
// block. Memory input that ran dry ends the scan (the read reports the missing end);
// after a marker the zero blocks still show, but rows below the buffer cannot, so the
// scan ends there instead of walking a grid a header may have made 65535 rows high.
bool ScanHasNoMoreToShow(const McuSink& sink, const JpegScanHeader& scan,
                         const JpegInputStream& stream, int32_t y) {
  return MemoryInputRanDry(stream) || RowBelowOutput(sink.geometry, scan, y);
}

struct ScanComponentPlan {
  const JpegHuffmanDecodeTable* dc;
  const JpegHuffmanDecodeTable* ac;
  int32_t blocks;
};

void PlanScan(const JpegState& state, const JpegScanHeader& scan,
              ScanComponentPlan (&plan)[JPEG_MAX_COMPONENTS]) {
  for (int32_t j = 0; j < scan.component_count; ++j) {
    const JpegScanComponent& c = scan.components[j];
    plan[j] = {&state.dc_tables[c.dc_table], &state.ac_tables[c.ac_table],
               scan.component_count > 1 ? c.h * c.v : 1};
  }
}

Status DecodeMcuBlocks(JpegState& state, JpegScanHeader& scan,
                       const ScanComponentPlan (&plan)[JPEG_MAX_COMPONENTS]) {
  const RoutineTable& table = *state.routine_table;
  int16_t* block = state.mcu_work_buffer;
  for (int32_t j = 0; j < scan.component_count; ++j) {
    const ScanComponentPlan& c = plan[j];
    for (int32_t b = 0; b < c.blocks; ++b, block += 64) {
      const int32_t status = table.DecodeBlock(&state.stream, c.dc, c.ac, &scan.dc_pred[j], block);
      if (status != JPEG_SUCCESS) return status;
    }
  }
  return JPEG_SUCCESS;
}

Status DecodeSequentialScan(JPEG_PROPERTIES& properties, JpegScanHeader& scan,
                            const McuSink& sink) {
  JpegState& state = properties.state;
  ScanComponentPlan plan[JPEG_MAX_COMPONENTS];
  PlanScan(state, scan, plan);
  const ScanGrid grid = GridOfScan(sink.geometry, scan);
  int32_t mcus_after_input_end = 0;
  int32_t x = scan.mcu_column, y = scan.mcu_row;
  Status status = JPEG_SUCCESS;
  for (; y < grid.down; ++y, x = 0) {
    for (; x < grid.across; ++x) {
      status = DecodeMcuBlocks(state, scan, plan);
      if (status.ok()) status = ProcessRestart(state.stream, scan, grid.across, grid.down, x, y);
      if (status.ok()) status = SinkMcu(properties, sink, x, y);
      if (!status.ok()) break;
      if (EntropyDataEnded(state.stream, scan) && ++mcus_after_input_end > kMcusAfterInputEnd &&
          ScanHasNoMoreToShow(sink, scan, state.stream, y)) {
        y = grid.down;
        break;
      }
    }
    if (!status.ok() || y == grid.down) break;
  }
  // The saved position: the next MCU to decode (the one that failed, after an error),
  // so that with the predictors in the scan and the bit state in the stream a later
  // read can go on from here.
  scan.mcu_column = y < grid.down ? x : 0;
  scan.mcu_row = std::min(y, grid.down);
  return status;
}

bool IsPlainWholeImageRead(const JpegState& state) {
  const bool coefficients = state.raw_coefficients && state.raw_coefficients->data_kind == 0;
  return ReadScale(state.io_mode) == 1 && !IsRegionRead(state) && state.interrupt_flag == 0 &&
         !coefficients;
}

}  // namespace

Status DecodeScan(JPEG_PROPERTIES& properties, JpegScanHeader& scan) {
  JpegState& state = properties.state;
  if (!IsPlainWholeImageRead(state)) return JPEG_ERR_NOT_SUPPORTED;
  Status status = JPEG_SUCCESS;
  if (state.progressive_scan_count != 0) {
    status = DecodeProgressiveScan(state, scan);  // the store goes to the sink at the end
  } else {
    McuSink sink;
    status = PrepareSink(state, scan, sink);
    if (!status.ok()) return status;
    status = DecodeSequentialScan(properties, scan, sink);
  }
  if (status.ok()) state.stream.bit_count = 0;
  state.routine_table->EndSimd();
  return status;
}

}  // namespace jpeg
