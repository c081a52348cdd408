// The sequential scan driver (T.81 E.2.3 and F.2.2): for every MCU of the scan's
// grid, each block is Huffman-decoded into the aligned MCU work buffer, the restart
// interval is processed, and the MCU goes to the sink. Nothing is allocated: the work buffer lives
// in the properties record. Memory input that ends inside the scan supplies zero bits; once every
// real bit has been decoded the rest of the scan would decode padding alone, so the scan ends there
// and a frame that claims far more MCUs than its bytes hold costs no more time than its bytes.
#include "jpeg/scan_decode.h"

#include <algorithm>
#include <cstdint>

#include "jpeg/coefficient_output.h"
#include "jpeg/huffman_decode.h"
#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/markers.h"
#include "jpeg/mcu_sink.h"
#include "jpeg/progressive_decode.h"
#include "jpeg/read_geometry.h"
#include "jpeg/read_modes.h"
#include "jpeg/restart_index.h"
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

// The blocks of one MCU in decoding order, and which of them keep their AC values.
struct McuPlan {
  BlockCoding coding[JPEG_MCU_BLOCKS];
  int32_t blocks;
  uint32_t keep_ac;  // bit b: block b is decoded whole
  DecodeMixedRoutine decode_mixed;
};

// A block that the read reduces to one sample needs only its DC coefficient: its AC
// values are decoded past without being stored. So are those of the MCUs a region read
// does not show.
Status PlanScan(JpegState& state, JpegScanHeader& scan, const McuSink& sink, McuPlan& plan) {
  plan.decode_mixed = MixedDecoderOf(*state.routine_table);
  plan.keep_ac = 0;
  int32_t block = 0;
  for (int32_t j = 0; j < scan.component_count; ++j) {
    const JpegScanComponent& c = scan.components[j];
    const bool dc_only = sink.geometry.components[c.frame_index].block_size == 1;
    const HuffmanLookup* dc = HuffmanLookupOf(state, 0, c.dc_table);
    const HuffmanLookup* ac =
        HuffmanLookupOf(state, 1, c.ac_table, dc_only || sink.geometry.window.region);
    if (dc == nullptr || ac == nullptr) return JPEG_ERR_MEMORY;
    const int32_t blocks = scan.component_count > 1 ? c.h * c.v : 1;
    for (int32_t b = 0; b < blocks; ++b, ++block) {
      plan.coding[block] = {dc, ac, &scan.dc_pred[j]};
      if (!dc_only) plan.keep_ac |= 1u << block;
    }
  }
  plan.blocks = block;
  return JPEG_SUCCESS;
}

// One call per MCU, so that one bit reader serves all its blocks: the routine table's
// decoders where the MCU's blocks are all kept whole or all DC-only, else the mixed one.
Status DecodeMcuBlocks(JpegState& state, const McuPlan& plan, bool shown) {
  const RoutineTable& table = *state.routine_table;
  const uint32_t keep = shown ? plan.keep_ac : 0;
  if (keep == 0)
    return table.DecodeBlockDcOnly(&state.stream, plan.coding, plan.blocks, state.mcu_work_buffer);
  if (keep == (1u << plan.blocks) - 1)
    return table.DecodeBlock(&state.stream, plan.coding, plan.blocks, state.mcu_work_buffer);
  return plan.decode_mixed(&state.stream, plan.coding, plan.blocks, keep, state.mcu_work_buffer);
}

// Pixels through the sink, or the quantised coefficients to their planes.
Status DeliverMcu(JPEG_PROPERTIES& properties, const JpegScanHeader& scan, const McuSink& sink,
                  int32_t x, int32_t y) {
  if (!DeliversCoefficients(properties.state)) return SinkMcu(properties, sink, x, y);
  PutScanMcu(properties.state, scan, x, y);
  return JPEG_SUCCESS;
}

// Where the scan stands: the MCU of the grid it decodes next.
struct ScanCursor {
  int32_t x, y;
};

// The MCUs from the cursor's on that a restart point follows the last of: counted down
// MCU by MCU, so that those between restart points cost no division.
int64_t McusToRestart(const JpegScanHeader& scan, ScanGrid grid, ScanCursor at) {
  if (scan.restart_interval == 0) return INT64_MAX;
  return scan.restart_interval - (int64_t{at.y} * grid.across + at.x) % scan.restart_interval;
}

// Reaches the first MCU of `row` from the cursor: the row index enters the data at the
// last restart point before it, and the MCUs in between are decoded for their DC
// predictors only. Memory input that runs dry on the way ends the scan there, as a
// whole read ends it; `ended` says so.
Status SkipToRow(JpegState& state, JpegScanHeader& scan, const McuPlan& plan, ScanGrid grid,
                 int32_t row, ScanCursor& at, bool& ended) {
  int64_t mcu = int64_t{at.y} * grid.across + at.x;
  if (mcu == 0) {
    Status status = StartRestartIndex(state, scan);
    if (!status.ok()) return status;
    IndexRestartPoints(state, scan, grid.across, row);
    status = EnterRow(state, scan, row, mcu);
    if (!status.ok()) return status;
  }
  int32_t mcus_after_input_end = 0;
  for (const int64_t end = int64_t{row} * grid.across; mcu < end; ++mcu) {
    const auto x = static_cast<int32_t>(mcu % grid.across),
               y = static_cast<int32_t>(mcu / grid.across);
    Status status = DecodeMcuBlocks(state, plan, false);
    if (status.ok()) status = ProcessRestart(state.stream, scan, grid.across, grid.down, x, y);
    if (!status.ok()) return status;
    if (MemoryInputRanDry(state.stream) && ++mcus_after_input_end > kMcusAfterInputEnd) {
      ended = true;
      return JPEG_SUCCESS;
    }
  }
  at = {0, row};
  return JPEG_SUCCESS;
}

// Between the region's right edge and its left edge on the next row (or before its left
// edge on its first row), the MCUs are needed only from the last restart point before
// the next one it shows: a restart point starts the data afresh (T.81 E.2.4), so the
// decoding jumps there when one lies ahead.
Status JumpOverHiddenMcus(JpegState& state, JpegScanHeader& scan, ScanGrid grid,
                          const GridSpan& span, ScanCursor& at, bool& jumps) {
  const int32_t next_row = at.x < span.first_column ? at.y : at.y + 1;
  if (next_row >= span.end_row) return JPEG_SUCCESS;
  int64_t mcu = int64_t{at.y} * grid.across + at.x;
  const Status status = JumpToRestartPoint(
      state, scan, mcu, int64_t{next_row} * grid.across + span.first_column, jumps);
  at = {static_cast<int32_t>(mcu % grid.across), static_cast<int32_t>(mcu / grid.across)};
  return status;
}

// After the last row a non-interleaved image shows: the rest of the scan's data is
// passed over to the marker that ends it, which the marker loop reads next.
Status SkipRestOfScan(JpegInputStream& stream) {
  for (;;) {
    int32_t code = 0;
    const Status status = ReadMarker(stream, code);
    if (!status.ok() || code == kEndOfStream) return status;
    if (code < kMarkerRst0 || code > kMarkerRst7) {
      stream.pending_marker = static_cast<uint8_t>(code);
      return JPEG_SUCCESS;
    }
  }
}

// A region read decodes the MCUs of the region's rows, the ones outside its columns
// for their DC predictors only, and ends after its last row: an interleaved scan with
// "ROI Success", the scan of one component of a non-interleaved image by passing over
// the rest of its data, so that the next scan can follow.
Status DecodeSequentialScan(JPEG_PROPERTIES& properties, JpegScanHeader& scan,
                            const McuSink& sink) {
  JpegState& state = properties.state;
  McuPlan plan;
  Status status = PlanScan(state, scan, sink, plan);
  if (!status.ok()) return status;
  const ScanGrid grid = GridOfScan(sink.geometry, scan);
  const bool region = sink.geometry.window.region;
  const GridSpan span =
      region ? SpanOfScan(sink.geometry, scan, grid) : GridSpan{0, grid.across, 0, grid.down};
  ScanCursor at{scan.mcu_column, scan.mcu_row};
  bool ended = false;
  if (at.y < span.first_row) status = SkipToRow(state, scan, plan, grid, span.first_row, at, ended);
  int32_t mcus_after_input_end = 0;
  int32_t& x = at.x;
  int32_t& y = at.y;
  const int64_t end = int64_t{span.end_row} * grid.across;
  bool interrupted = false;
  bool jumps = region && scan.restart_interval != 0;
  int64_t to_restart = McusToRestart(scan, grid, at);
  McuRect decoded{};
  for (; status.ok() && !ended && y < span.end_row; ++y, x = 0) {
    for (; x < grid.across; ++x) {
      bool shown = x >= span.first_column && x < span.end_column;
      if (!shown && jumps) {
        status = JumpOverHiddenMcus(state, scan, grid, span, at, jumps);
        if (!status.ok()) break;
        shown = x >= span.first_column && x < span.end_column;
        to_restart = McusToRestart(scan, grid, at);
      }
      status = DecodeMcuBlocks(state, plan, shown);
      if (status.ok() && --to_restart == 0) {
        status = ProcessRestartPoint(state.stream, scan, grid.across, grid.down, x, y);
        to_restart = scan.restart_interval;
      }
      if (status.ok() && shown) status = DeliverMcu(properties, scan, sink, x, y);
      if (!status.ok()) break;
      if (EntropyDataEnded(state.stream, scan) && ++mcus_after_input_end > kMcusAfterInputEnd &&
          ScanHasNoMoreToShow(sink, scan, state.stream, y)) {
        ended = true;
        break;
      }
      // An interrupted read stops after an MCU it shows, unless the scan ends with it.
      if (shown && state.interrupt_flag != 0 && int64_t{y} * grid.across + x + 1 < end) {
        decoded = PixelsOfCells(sink.geometry, state.frame, scan, {x, x + 1, y, y + 1});
        interrupted = true;
        ++x;
        break;
      }
    }
    if (!status.ok() || ended || interrupted) break;
  }
  if (ended) y = grid.down;
  if (interrupted && x == grid.across) x = 0, ++y;
  // The saved position: the next MCU to decode (the one that failed, after an error),
  // so that with the predictors in the scan and the bit state in the stream a later
  // read can go on from here.
  scan.mcu_column = y < grid.down ? x : 0;
  scan.mcu_row = std::min(y, grid.down);
  if (interrupted) return ReportInterrupt(state, decoded);
  if (!status.ok() || y >= grid.down) return status;
  if (sink.block_by_block) return SkipRestOfScan(state.stream);
  return JPEG_ROI_SUCCESS;
}

// Coefficients are those of the image at its own size: a reduced read has none to give.
bool IsDecodedRead(const JpegState& state) {
  return !(ReadScale(state.io_mode) > 1 && DeliversCoefficients(state));
}

}  // namespace

Status DecodeScan(JPEG_PROPERTIES& properties, JpegScanHeader& scan) {
  JpegState& state = properties.state;
  if (!IsDecodedRead(state)) return JPEG_ERR_NOT_SUPPORTED;
  Status status = JPEG_SUCCESS;
  if (state.progressive_scan_count != 0) {
    status = DecodeProgressiveScan(state, scan);  // the store goes to the sink at the end
  } else {
    McuSink sink;
    status = PrepareSink(state, scan, sink);
    if (!status.ok()) return status;
    status = DecodeSequentialScan(properties, scan, sink);
    FinishSink(properties, sink);
  }
  if (status.ok()) state.stream.bit_count = 0;
  state.routine_table->EndSimd();
  return status;
}

}  // namespace jpeg
