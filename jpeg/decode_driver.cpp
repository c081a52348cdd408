// The decode driver: positions the input for the read, then runs the marker loop,
// dispatching each marker to its handler. Parameters, tables-only and thumbnail
// reads stop on the first SOS (or, for tables, the first SOF) and step back over it,
// so that a following read begins there; image reads decode every scan and finish
// the image at EOI. A progressive image is written from its coefficient store when
// the read ends, also when its data ends early.
#include "jpeg/decode_driver.h"

#include "jpeg/coefficient_output.h"
#include "jpeg/coefficient_store.h"
#include "jpeg/generic_output.h"
#include "jpeg/input_stream.h"
#include "jpeg/markers.h"
#include "jpeg/output_select.h"
#include "jpeg/progressive_decode.h"
#include "jpeg/read_geometry.h"
#include "jpeg/read_modes.h"
#include "jpeg/routine_table.h"
#include "jpeg/scan_decode.h"
#include "jpeg/scan_tables.h"
#include "jpeg/smooth_output.h"
#include "jpeg/status.h"

namespace jpeg {
namespace {

// A non-interleaved image is always decoded from its SOI, whatever an earlier read
// consumed, because its scans are found by the marker loop one after the other.
int32_t PositionInput(JpegState& state) {
  JpegInputStream& stream = state.stream;
  if (state.current_scan == nullptr) ResetInputStream(stream);
  if (state.interleave_type == 1 && state.current_scan == nullptr) {
    const int32_t status = RewindInput(stream, state.jpeg_buffer, state.jpeg_buffer_size);
    if (status != JPEG_SUCCESS) return JPEG_ERR_FILE;
  }
  const int32_t mode = state.io_mode;
  if (state.current_scan == nullptr && !IsEntropyMode(mode) && ReadScale(mode) == 1 &&
      !RoiFieldsSet(state))
    RestartByteCount(stream);
  return JPEG_SUCCESS;
}

int32_t OnStartOfFrame(JPEG_PROPERTIES& properties, bool& finished) {
  JpegState& state = properties.state;
  if (IsTablesMode(state.io_mode)) {
    finished = true;
    return StepBack(state.stream, 2);
  }
  const JpegFrameHeader known = state.frame;
  const bool frame_known = state.frame_needed == 0;
  const int32_t status = ParseStartOfFrame(state);
  if (status != JPEG_SUCCESS) return status;
  // Coefficient planes are laid out for the frame the caller was told of: another
  // frame of another shape would not fit them.
  if (frame_known && DeliversCoefficients(state) && !SamePlaneLayout(known, state.frame)) {
    state.frame = known;  // what is delivered when the read ends stays in the planes
    return JPEG_ERR_MULTIPLE_FRAMES;
  }
  ResetCoefficientStore(state);  // a new frame starts its progression afresh
  return SelectOutputConverter(properties);
}

bool IsSequentialScan(const JpegState& state, const JpegScanHeader& scan) {
  return scan.ss == 0 && scan.se == 63 && scan.ah == 0 && scan.al == 0 &&
         state.progressive_scan_count == 0;
}

uint8_t ComponentsOf(const JpegScanHeader& scan) {
  uint8_t bits = 0;
  for (int32_t j = 0; j < scan.component_count; ++j)
    bits |= static_cast<uint8_t>(1u << scan.components[j].frame_index);
  return bits;
}

// A sequential frame codes each component within a single scan (T.81 3.1): a later scan of
// components that all have theirs repeats nothing the picture needs, and decoding it
// would let a few bytes of scan headers buy a whole frame's work each time.
bool RepeatsDecodedComponents(const JpegState& state, const JpegScanHeader& scan) {
  const uint8_t components = ComponentsOf(scan);
  return (state.stream.components_decoded & components) == components;
}

// The resumption point: runs the current scan from its saved position. A scan that
// returns after one MCU (1) stays current, so the next read goes on with it before
// reading any marker; one that completes is over, and so is one that ended a region
// read (2) or failed: the next read starts afresh.
Status RunCurrentScan(JPEG_PROPERTIES& properties) {
  JpegState& state = properties.state;
  const JpegScanHeader& scan = *state.current_scan;
  const Status status = DecodeScan(properties, *state.current_scan);
  if (status.code() == JPEG_INTERRUPT_SUCCESS) return status;
  state.current_scan = nullptr;
  if (status.ok() && state.progressive_scan_count == 0) {
    state.stream.scan_components_done += static_cast<uint32_t>(scan.component_count);
    state.stream.components_decoded |= ComponentsOf(scan);
  }
  return status;
}

// Header reads end on the SOS, positioned on its marker; image reads decode the scan.
int32_t OnStartOfScan(JPEG_PROPERTIES& properties, bool& finished) {
  JpegState& state = properties.state;
  if (state.frame_needed == 1) return JPEG_ERR_NO_FRAME;
  int32_t status = ParseStartOfScan(state);
  if (status != JPEG_SUCCESS) return status;
  if (IsHeaderMode(state.io_mode)) {
    finished = true;
    return StepBack(state.stream, state.routine_table->scratch);
  }
  status = CheckRegion(state).code();  // before the first pixel is written
  if (status == JPEG_SUCCESS && DeliversCoefficients(state))
    status = CheckCoefficientPlanes(state).code();
  if (status != JPEG_SUCCESS) return status;
  JpegScanHeader& scan = state.scan;
  scan.restart_interval = state.frame.restart_interval;
  const int32_t ns = scan.component_count;
  const bool progressive = !IsSequentialScan(state, scan);
  if (!progressive && RepeatsDecodedComponents(state, scan)) return JPEG_SUCCESS;
  state.interleave_type = !progressive && ns < state.frame.component_count;
  status = SelectOutputConverter(properties);
  if (status != JPEG_SUCCESS) return status;
  // Its components come a scan at a time, and the smooth filter needs them together:
  // refused before anything is written rather than replicated.
  if (state.interleave_type == 1 && SmoothUpsamplingApplies(state)) return JPEG_ERR_NOT_SUPPORTED;
  status = PrepareScanTables(state, scan);
  if (status != JPEG_SUCCESS) return status;
  const bool first_scan =
      state.stream.scan_components_done == 0 && state.progressive_scan_count == 0;
  if (first_scan && DeliversCoefficients(state)) ClearCoefficientPlanes(state);
  if (progressive) {
    status = StartProgressiveScan(state, scan);
    if (status != JPEG_SUCCESS) return status;
  } else if (state.interleave_type == 1) {
    if (first_scan && !DeliversCoefficients(state)) FillComponentChannelsMidLevel(properties);
    state.ac_final_count += ns;
  }
  state.current_scan = &scan;
  return RunCurrentScan(properties).code();
}

// A stream of tables alone may be followed by an image; otherwise EOI ends the image.
int32_t OnEndOfImage(JPEG_PROPERTIES& properties, bool& finished) {
  JpegState& state = properties.state;
  if (state.frame_needed == 1 && !IsHeaderMode(state.io_mode)) {
    int32_t marker = 0;
    if (ReadMarker(state.stream, marker).ok() && marker == kMarkerSoi) {
      state.frame.restart_interval = 0;
      return JPEG_SUCCESS;
    }
    finished = true;
    return JPEG_ERR_NO_IMAGE;
  }
  finished = true;
  // A frame whose image data never came (SOF then EOI) is no image, not a blank one.
  if (!IsHeaderMode(state.io_mode) && state.stream.scan_components_done == 0 &&
      state.progressive_scan_count == 0)
    return JPEG_ERR_NO_IMAGE;
  // The components of a non-interleaved image were written one scan at a time.
  if (!IsHeaderMode(state.io_mode) && state.interleave_type != 0 && state.color_convert_flag == 1 &&
      state.progressive_scan_count == 0 && !DeliversCoefficients(state))
    ConvertImageInPlace(properties);
  return JPEG_SUCCESS;
}

// One marker's action; sets finished when the read ends with the returned status.
int32_t ActOnMarker(JPEG_PROPERTIES& properties, int32_t code, bool& finished) {
  JpegState& state = properties.state;
  switch (code) {
    case kMarkerSoi:
      state.frame.restart_interval = 0;
      return JPEG_SUCCESS;
    case kMarkerSof0:
      return OnStartOfFrame(properties, finished);
    case kMarkerSof1:
    case kMarkerSof2:
      // A later frame of another kind is skipped whole: its bytes are no markers.
      return state.frame_needed == 1 ? OnStartOfFrame(properties, finished)
                                     : SkipSegment(state.stream);
    case kMarkerDht:
      return ParseDefineHuffmanTables(state);
    case kMarkerDqt:
      return ParseDefineQuantTables(state, state.dct_method);
    case kMarkerDri:
      return ParseDefineRestartInterval(state);
    case kMarkerSos:
      return OnStartOfScan(properties, finished);
    case kMarkerEoi:
      return OnEndOfImage(properties, finished);
    case kMarkerApp0:
      return state.io_mode == READ_ENTROPY_FILE ? SkipSegment(state.stream) : ParseApp0(state);
    case kMarkerApp14: {
      const int32_t status = ParseApp14(state);
      if (status != JPEG_SUCCESS || state.frame_needed == 1) return status;
      return SelectOutputConverter(properties);
    }
    case kMarkerCom:
      return ParseComment(state);
    case kEndOfStream:
      finished = true;
      return JPEG_SUCCESS;
    default:
      if (code >= kMarkerRst0 && code <= kMarkerRst7) return JPEG_SUCCESS;
      if (IsRefusedFrameMarker(code)) return JPEG_ERR_UNSUPPORTED_FRAME;
      return SkipSegment(state.stream);
  }
}

// A waiting scan goes on first, then the markers.
int32_t RunMarkerLoop(JPEG_PROPERTIES& properties) {
  JpegState& state = properties.state;
  if (state.current_scan != nullptr && !IsHeaderMode(state.io_mode)) {
    const Status status = RunCurrentScan(properties);
    if (!status.ok()) return status.code();
  }
  for (;;) {
    int32_t code = 0;
    const Status read = ReadMarker(properties.state.stream, code);
    if (!read.ok()) return read.code();
    bool finished = false;
    const int32_t status = ActOnMarker(properties, code, finished);
    if (status != JPEG_SUCCESS || finished) return status;
  }
}

}  // namespace

int32_t DecodeStream(JPEG_PROPERTIES& properties) {
  JpegState& state = properties.state;
  const int32_t positioned = PositionInput(state);
  if (positioned != JPEG_SUCCESS) return positioned;
  if (state.frame_needed == 0) {
    const int32_t status = SelectOutputConverter(properties);
    if (status != JPEG_SUCCESS) return status;
  }
  if (IsHeaderMode(state.io_mode)) {
    int32_t marker = 0;
    if (!ReadMarker(state.stream, marker).ok() || marker != kMarkerSoi) return JPEG_ERR_NOT_JPEG;
    state.frame.restart_interval = 0;
  }
  // A read that resumes a scan goes on with its image; any other starts afresh.
  if (state.current_scan == nullptr) ResetCoefficientStore(state);
  int32_t status = RunMarkerLoop(properties);
  // However the read ends (unless it returns to resume), a progressive image shows as
  // far as its scans went.
  if (status <= JPEG_SUCCESS && HasCoefficientStore(state)) {
    const int32_t output = OutputCoefficientStore(properties);
    if (status == JPEG_SUCCESS) status = output;
  }
  const bool region = IsImageMode(state.io_mode) && IsRegionRead(state);
  return status == JPEG_SUCCESS && region ? JPEG_ROI_SUCCESS : status;
}

}  // namespace jpeg
