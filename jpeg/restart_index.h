// The row index of region reads: for the MCU rows of the scan being decoded, the
// decoder state from which a row can be reached without decoding the rows above it.
// A sequential scan's data cannot be entered at an arbitrary byte, but every restart
// marker (T.81 E.2.4) starts an interval afresh: predictors zero, no bits held. The
// index finds those markers by their bytes alone, far faster than decoding, and
// remembers for each row the last restart point at or before its first MCU; the rows
// in between are decoded for their DC predictors only. Rows beyond the index's slots
// fall back to the last indexed row. Inside the region's rows the same markers let the
// decoding jump from the region's right edge to the restart point before its left edge
// on the next row.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/status.h"

namespace jpeg {

inline constexpr int32_t kIndexedRows = 8192;

// Allocates the index on the first region read (kept until JpegFree) and starts it
// afresh for the scan: row 0 from the stream's present state, every other row unknown.
// The scan must stand at its first MCU.
[[nodiscard]] Status StartRestartIndex(JpegState& state, const JpegScanHeader& scan);

// Indexes the restart points of the scan (grid `across` MCUs wide) that precede the
// first MCU of `row`, by looking for their markers from the stream's position. Stops
// early, keeping what it found, at any other marker, a marker out of sequence or the
// end of the data. Leaves the stream anywhere: follow it with EnterRow.
void IndexRestartPoints(JpegState& state, const JpegScanHeader& scan, int32_t across, int32_t row);

// Restores the stream and the scan's predictors to the indexed state nearest before
// the first MCU of `row`, and sets `mcu` to the scan-grid MCU it precedes.
[[nodiscard]] Status EnterRow(JpegState& state, JpegScanHeader& scan, int32_t row, int64_t& mcu);

// Moves the scan from `mcu`, the next MCU it decodes, to the last restart point at or
// before `target` when one lies ahead, finding the markers in between by their bytes,
// and sets `mcu` to it. Markers out of sequence leave the stream and `mcu` as they were
// and clear `jumps`: the scan's data is then decoded through, as a whole read does.
[[nodiscard]] Status JumpToRestartPoint(JpegState& state, JpegScanHeader& scan, int64_t& mcu,
                                        int64_t target, bool& jumps);

}  // namespace jpeg
