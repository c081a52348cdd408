// Frame header (SOF, T.81 B.2.2), scan header (SOS, B.2.3) and restart interval
// (DRI, B.2.4.4). The component tables hold four records, so frames and scans with
// more components are refused before anything is written, and sampling factors
// outside 1..4 are refused before the MCU arithmetic divides by them.
#include "jpeg/input_stream.h"
#include "jpeg/markers.h"
#include "jpeg/read_geometry.h"
#include "jpeg/routine_table.h"

namespace jpeg {
namespace {

uint16_t Word(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

// Reads a segment's length and payload; a length below 2 is "Data error".
int32_t ReadPayload(JpegInputStream& stream, SegmentBody& body, uint32_t* length = nullptr) {
  uint32_t value = 0;
  const int32_t status = ReadLength(stream, &value);
  if (status != JPEG_SUCCESS) return status;
  if (value < 2) return JPEG_ERR_DATA;
  if (length) *length = value;
  return ReadSegmentBody(stream, value - 2, body);
}

// The frame's MCU fields.
void SetMcuGeometry(JpegFrameHeader& frame) {
  const ReadGeometry geometry = GeometryOfFrame(frame);
  frame.h_max = geometry.frame_h_max;
  frame.v_max = geometry.frame_v_max;
  frame.mcu_width = 8 * geometry.frame_h_max;
  frame.mcu_height = 8 * geometry.frame_v_max;
  frame.mcus_per_row = geometry.mcus_across;
  frame.mcu_total = geometry.mcus_down * geometry.mcus_across;
}

}  // namespace

bool IsRefusedFrameMarker(int32_t code) {
  switch (code) {
    case 0xC3:
    case 0xC5:
    case 0xC6:
    case 0xC7:
    case 0xC8:
    case 0xC9:
    case 0xCA:
    case 0xCB:
    case 0xCD:
    case 0xCE:
    case 0xCF:
      return true;
    default:
      return false;
  }
}

int32_t ParseFramePayload(const uint8_t* p, uint32_t size, JpegFrameHeader& frame) {
  if (size < 6) return JPEG_ERR_DATA;
  JpegFrameHeader parsed{};
  parsed.precision = p[0];
  parsed.height = Word(p + 1);
  parsed.width = Word(p + 3);
  parsed.component_count = p[5];
  if (parsed.precision != 8) return JPEG_ERR_UNSUPPORTED_FRAME;
  if (parsed.height == 0) return JPEG_ERR_DNL;
  if (parsed.component_count == 0 || parsed.component_count > JPEG_MAX_COMPONENTS)
    return JPEG_ERR_COMP;
  if (size < 6 + 3u * parsed.component_count) return JPEG_ERR_DATA;
  for (int i = 0; i < parsed.component_count; ++i) {
    const uint8_t* c = p + 6 + 3 * i;
    JpegFrameComponent& component = parsed.components[i];
    component.id = c[0];
    component.h = c[1] >> 4;
    component.v = c[1] & 0x0F;
    component.quant_slot = c[2];
    if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4)
      return JPEG_ERR_SOF;
  }
  if (parsed.width == 0) return JPEG_ERR_SOF;
  SetMcuGeometry(parsed);
  parsed.restart_interval = frame.restart_interval;
  frame = parsed;
  return JPEG_SUCCESS;
}

int32_t ParseStartOfFrame(JpegState& state) {
  SegmentBody body;
  int32_t status = ReadPayload(state.stream, body);
  if (status != JPEG_SUCCESS) return status;
  JpegFrameHeader frame = state.frame;
  status = ParseFramePayload(body.data(), body.size(), frame);
  if (status != JPEG_SUCCESS) return status;
  state.frame = frame;
  state.frame_needed = 0;
  state.jpeg_channels = static_cast<uint32_t>(frame.component_count);
  state.jpeg_width = frame.width;
  state.jpeg_height = frame.height;
  return JPEG_SUCCESS;
}

int32_t ParseScanPayload(const uint8_t* p, uint32_t size, const JpegFrameHeader& frame,
                         JpegScanHeader& scan, uint8_t (&dc_ids)[4], uint8_t (&ac_ids)[4]) {
  if (size < 1) return JPEG_ERR_DATA;
  JpegScanHeader parsed{};
  parsed.component_count = p[0];
  if (parsed.component_count == 0 || parsed.component_count > JPEG_MAX_COMPONENTS)
    return JPEG_ERR_COMP;
  if (size < 1 + 2u * parsed.component_count + 3) return JPEG_ERR_DATA;
  uint8_t dc[4] = {}, ac[4] = {};
  for (int j = 0; j < parsed.component_count; ++j) {
    const uint8_t* c = p + 1 + 2 * j;
    const int32_t td = c[1] >> 4, ta = c[1] & 0x0F;
    if (td > 3 || ta > 3) return JPEG_ERR_DATA;
    int32_t index = 0;
    while (index < frame.component_count && frame.components[index].id != c[0]) ++index;
    if (index == frame.component_count) return JPEG_ERR_DATA;
    const JpegFrameComponent& component = frame.components[index];
    if (component.quant_slot > 3) return JPEG_ERR_DATA;
    parsed.components[j] = {index, component.h, component.v, td, ta, component.quant_slot};
    dc[j] = static_cast<uint8_t>(td);
    ac[j] = static_cast<uint8_t>(ta);
  }
  const uint8_t* tail = p + 1 + 2 * parsed.component_count;
  parsed.ss = tail[0];
  parsed.se = tail[1];
  parsed.ah = tail[2] >> 4;
  parsed.al = tail[2] & 0x0F;
  scan = parsed;
  for (int j = 0; j < 4; ++j) {
    dc_ids[j] = dc[j];
    ac_ids[j] = ac[j];
  }
  return JPEG_SUCCESS;
}

int32_t ParseStartOfScan(JpegState& state) {
  SegmentBody body;
  uint32_t length = 0;
  int32_t status = ReadPayload(state.stream, body, &length);
  if (status != JPEG_SUCCESS) return status;
  state.routine_table->scratch = length + 2;
  state.stream.eob_run = 0;
  return ParseScanPayload(body.data(), body.size(), state.frame, state.scan, state.scan_dc_ids,
                          state.scan_ac_ids);
}

int32_t ParseDefineRestartInterval(JpegState& state) {
  SegmentBody body;
  const int32_t status = ReadPayload(state.stream, body);
  if (status != JPEG_SUCCESS) return status;
  if (body.size() < 2) return JPEG_ERR_DATA;
  state.frame.restart_interval = body.Word(0);
  return JPEG_SUCCESS;
}

}  // namespace jpeg
