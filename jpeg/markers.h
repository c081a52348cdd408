// Marker segment handlers (T.81 B.2): frame and scan headers, quantisation and
// Huffman tables, restart interval, JFIF/JFXX and Adobe application data, comments.
// Each handler reads its segment, checks it completely with a pure parser, and only
// then installs the result in the state, so a bad segment never leaves a
// half-written table or frame behind.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Marker codes the loop acts on (T.81 Table B.1).
enum MarkerCode : int32_t {
  kMarkerSof0 = 0xC0,
  kMarkerSof1 = 0xC1,
  kMarkerSof2 = 0xC2,
  kMarkerDht = 0xC4,
  kMarkerRst0 = 0xD0,
  kMarkerRst7 = 0xD7,
  kMarkerSoi = 0xD8,
  kMarkerEoi = 0xD9,
  kMarkerSos = 0xDA,
  kMarkerDqt = 0xDB,
  kMarkerDri = 0xDD,
  kMarkerApp0 = 0xE0,
  kMarkerApp14 = 0xEE,
  kMarkerCom = 0xFE,
  kEndOfStream = 256,
};

// SOF3, SOF5-SOF7, JPG, SOF9-SOF11, SOF13-SOF15: processes this codec refuses.
bool IsRefusedFrameMarker(int32_t code);

// Pure parsers over a segment payload (the bytes after the length field).
[[nodiscard]] int32_t ParseFramePayload(const uint8_t* payload, uint32_t size,
                                        JpegFrameHeader& frame);
[[nodiscard]] int32_t ParseScanPayload(const uint8_t* payload, uint32_t size,
                                       const JpegFrameHeader& frame, JpegScanHeader& scan,
                                       uint8_t (&dc_ids)[4], uint8_t (&ac_ids)[4]);
// Checks every table of a DQT / DHT payload; nothing is installed.
[[nodiscard]] int32_t CheckQuantPayload(const uint8_t* payload, uint32_t size);
[[nodiscard]] int32_t CheckHuffmanPayload(const uint8_t* payload, uint32_t size);

// Handlers: read the segment from the state's stream and install it.
[[nodiscard]] int32_t ParseStartOfFrame(JpegState& state);
[[nodiscard]] int32_t ParseDefineRestartInterval(JpegState& state);
[[nodiscard]] int32_t ParseDefineQuantTables(JpegState& state, int32_t dct_method);
[[nodiscard]] int32_t ParseDefineHuffmanTables(JpegState& state);
// Fills state.scan; the SOS length + 2 goes to the routine table's scratch word.
[[nodiscard]] int32_t ParseStartOfScan(JpegState& state);
[[nodiscard]] int32_t ParseApp0(JpegState& state);
[[nodiscard]] int32_t ParseApp14(JpegState& state);
[[nodiscard]] int32_t ParseComment(JpegState& state);
// Called at the start of every read: takes comment_size as the comment buffer's
// capacity when the caller has set it (or the buffer) since the codec last wrote it.
void LatchCommentCapacity(JpegState& state);

// Installs one quantisation table (64 or 128 bytes of stream data) into slot tq and
// prepares it for the DCT method; also used to restore kept tables.
void InstallQuantTable(JpegState& state, int32_t pq, int32_t tq, const uint8_t* data,
                       int32_t dct_method);
// Prepares a slot's stream entries for the DCT method (a read may change the method
// after the tables were read).
void PrepareQuantTable(JpegQuantTableSlot& slot, int32_t dct_method);

}  // namespace jpeg
