// The row index: 8192 slots of 40 bytes, one per MCU row of the scan's grid. A slot
// holds the stream position, the DC predictors, the bit reader's state and the MCU
// that state precedes (the row's first, or the restart point before it).
#include "jpeg/restart_index.h"

#include <cstdlib>

#include "jpeg/input_stream.h"
#include "jpeg/markers.h"

namespace jpeg {
namespace {

constexpr uint32_t kUnknown = UINT32_MAX;

struct RowSlot {
  uint32_t position;  // absolute stream offset of the next byte, kUnknown when not indexed
  int32_t dc_pred[JPEG_MAX_COMPONENTS];
  int32_t mcu;
  uint32_t bit_buffer_low, bit_buffer_high;
  int32_t bit_count;
  uint8_t pending_marker;
};
static_assert(sizeof(RowSlot) == 40);

RowSlot* Slots(JpegState& state) {
  return static_cast<RowSlot*>(state.restart_index);
}

RowSlot SlotOf(const JpegInputStream& stream, const JpegScanHeader& scan, int32_t mcu) {
  RowSlot slot{};
  slot.position = StreamPosition(stream);
  for (int32_t i = 0; i < JPEG_MAX_COMPONENTS; ++i) slot.dc_pred[i] = scan.dc_pred[i];
  slot.mcu = mcu;
  slot.bit_buffer_low = static_cast<uint32_t>(stream.bit_buffer);
  slot.bit_buffer_high = static_cast<uint32_t>(stream.bit_buffer >> 32);
  slot.bit_count = stream.bit_count;
  slot.pending_marker = stream.pending_marker;
  return slot;
}

}  // namespace

Status StartRestartIndex(JpegState& state, const JpegScanHeader& scan) {
  if (state.restart_index == nullptr) {
    state.restart_index = std::malloc(sizeof(RowSlot) * kIndexedRows);
    if (state.restart_index == nullptr) return JPEG_ERR_MEMORY;
  }
  RowSlot* slots = Slots(state);
  slots[0] = SlotOf(state.stream, scan, 0);
  for (int32_t r = 1; r < kIndexedRows; ++r) slots[r].position = kUnknown;
  return JPEG_SUCCESS;
}

void IndexRestartPoints(JpegState& state, const JpegScanHeader& scan, int32_t across, int32_t row) {
  const int64_t interval = scan.restart_interval, target = int64_t{row} * across;
  JpegInputStream& stream = state.stream;
  if (interval == 0 || across <= 0 || stream.pending_marker != 0) return;
  JpegScanHeader fresh{};  // a restart point clears the predictors
  RowSlot* slots = Slots(state);
  for (int64_t k = 1; k * interval <= target; ++k) {
    int32_t code = 0;
    if (!ReadMarker(stream, code).ok() || code != kMarkerRst0 + ((k - 1) & 7)) return;
    const int64_t start = k * interval;
    stream.bit_buffer = 0;
    stream.bit_count = 0;
    // Rows whose first MCU lies in this restart interval.
    for (int64_t r = (start + across - 1) / across;
         r * across < start + interval && r <= row && r < kIndexedRows; ++r)
      slots[r] = SlotOf(stream, fresh, static_cast<int32_t>(start));
  }
}

namespace {

[[nodiscard]] int32_t Restore(JpegInputStream& stream, JpegScanHeader& scan, const RowSlot& slot) {
  const int32_t status = MoveInputTo(stream, slot.position);
  if (status != JPEG_SUCCESS) return status;
  stream.bit_buffer = uint64_t{slot.bit_buffer_high} << 32 | slot.bit_buffer_low;
  stream.bit_count = slot.bit_count;
  stream.pending_marker = slot.pending_marker;
  stream.eob_run = 0;
  for (int32_t i = 0; i < JPEG_MAX_COMPONENTS; ++i) scan.dc_pred[i] = slot.dc_pred[i];
  return JPEG_SUCCESS;
}

}  // namespace

Status EnterRow(JpegState& state, JpegScanHeader& scan, int32_t row, int64_t& mcu) {
  const RowSlot* slots = Slots(state);
  int32_t r = row < kIndexedRows ? row : kIndexedRows - 1;
  while (r > 0 && slots[r].position == kUnknown) --r;
  const int32_t status = Restore(state.stream, scan, slots[r]);
  if (status != JPEG_SUCCESS) return status;
  mcu = slots[r].mcu;
  return JPEG_SUCCESS;
}

Status JumpToRestartPoint(JpegState& state, JpegScanHeader& scan, int64_t& mcu, int64_t target,
                          bool& jumps) {
  const int64_t interval = scan.restart_interval;
  if (interval == 0 || target / interval <= mcu / interval) return JPEG_SUCCESS;
  JpegInputStream& stream = state.stream;
  const RowSlot before = SlotOf(stream, scan, 0);
  for (int64_t k = mcu / interval + 1; k <= target / interval; ++k) {
    // The bit reader may have met the marker that ends the interval it decodes.
    int32_t code = stream.pending_marker;
    stream.pending_marker = 0;
    if (code == 0 && !ReadMarker(stream, code).ok()) code = 0;
    if (code != kMarkerRst0 + ((k - 1) & 7)) {
      jumps = false;  // lost or foreign markers: decoding takes them as a whole read does
      return Restore(stream, scan, before);
    }
  }
  stream.bit_buffer = 0;
  stream.bit_count = 0;
  stream.eob_run = 0;
  for (int32_t& pred : scan.dc_pred) pred = 0;
  mcu = target / interval * interval;
  return JPEG_SUCCESS;
}

}  // namespace jpeg
