// Sequential Huffman decoding (T.81 F.2.2). The bit reader appends bytes at the low
// end of a 64-bit buffer; a marker met inside the data is kept in pending_marker and
// no further bytes are supplied, so the blocks that follow end early as zeros until
// the restart or the end of the scan takes the marker. Every table index is bounded
// by construction: lookahead by 8 bits, values by the canonical code ranges, and
// coefficient positions by the natural-order table's padding of 63s. The block
// decoder holds its reader (BlockReader) across the blocks of an MCU and takes data
// bytes up to eight at a time; it leaves the stream with the same unread bits, the
// same pending marker and the same statuses as this byte-wise reader.
#include "jpeg/huffman_decode.h"

#include "jpeg/block_decode_run.h"
#include "jpeg/block_reader.h"
#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/markers.h"
#include "jpeg/routine_table.h"

namespace jpeg {
namespace {

uint32_t GetBits(JpegInputStream& s, int32_t n) {
  s.bit_count -= n;
  return static_cast<uint32_t>(s.bit_buffer >> s.bit_count) & ((1u << n) - 1);
}

void AppendByte(JpegInputStream& s, uint8_t byte) {
  s.bit_buffer = (s.bit_buffer << 8) | byte;
  s.bit_count += 8;
}

// Takes one byte; memory input that ran dry gives dry_status.
int32_t NextByte(JpegInputStream& s, int32_t dry_status, uint8_t* byte) {
  if (s.bytes_left <= 0) {
    if (!IsFileInput(s)) return dry_status;
    const int32_t status = RefillFileBuffer(s);
    if (status != JPEG_SUCCESS) return status;
  }
  *byte = *s.next_byte++;
  --s.bytes_left;
  ++s.bytes_consumed;
  return JPEG_SUCCESS;
}

// After a 0xFF: fill bytes, a stuffed zero (data byte 0xFF) or a marker.
int32_t TakeAfterFF(JpegInputStream& s) {
  uint8_t code = 0xFF;
  while (code == 0xFF) {
    const int32_t status = NextByte(s, JPEG_ERR_DATA, &code);
    if (status != JPEG_SUCCESS) return status;
  }
  if (code == 0x00)
    AppendByte(s, 0xFF);
  else
    s.pending_marker = code;
  return JPEG_SUCCESS;
}

// Memory input whose rest is 0xFF fill bytes ends inside a marker.
bool EndsInFillBytes(const JpegInputStream& s) {
  const uint8_t* p = s.next_byte;
  const uint8_t* const end = p + s.bytes_left;
  while (p < end && *p == 0xFF) ++p;
  return p == end;
}

// Appends one data byte, or takes a marker. Past the end of memory input the bytes
// are zero; memory input that ends inside a marker is a data error and takes nothing,
// so that every later fill meets it again (file input that failed fails again).
int32_t TakeDataByte(JpegInputStream& s) {
  if (!IsFileInput(s)) {
    if (s.bytes_left <= 0) {
      AppendByte(s, 0);
      return JPEG_SUCCESS;
    }
    if (*s.next_byte == 0xFF && EndsInFillBytes(s)) return JPEG_ERR_DATA;
  }
  uint8_t byte = 0;
  const int32_t status = NextByte(s, JPEG_ERR_DATA, &byte);
  if (status != JPEG_SUCCESS) return status;
  if (byte != 0xFF) {
    AppendByte(s, byte);
    return JPEG_SUCCESS;
  }
  return TakeAfterFF(s);
}

// The canonical slow path (T.81 F.2.2.3) for a code of at least `first` bits.
int32_t DecodeLongCode(JpegInputStream& s, const JpegHuffmanDecodeTable& t, int32_t first,
                       int32_t* symbol) {
  if (s.bit_count < first) {
    const int32_t status = FillBitBuffer(s, first);
    if (status != JPEG_SUCCESS) return status;
  }
  int32_t code = static_cast<int32_t>(GetBits(s, first));
  int32_t l = first;
  while (l <= 16 && code > t.maxcode[l]) {
    if (s.bit_count < 1) {
      const int32_t status = FillBitBuffer(s, 1);
      if (status != JPEG_SUCCESS) return status;
    }
    code = code * 2 + static_cast<int32_t>(GetBits(s, 1));
    ++l;
  }
  *symbol = l <= 16 ? t.values[(t.valptr[l] + code - t.mincode[l]) & 0xFF] : 0;
  return JPEG_SUCCESS;
}

}  // namespace

int32_t FillBitBuffer(JpegInputStream& s, int32_t needed) {
  while (s.bit_count <= 24) {
    if (s.pending_marker != 0) return s.bit_count >= needed ? JPEG_SUCCESS : kMarkerReached;
    const int32_t status = TakeDataByte(s);
    // Like a marker, an input that fails counts only once the bits held fall short:
    // the status does not depend on how far ahead earlier fills read.
    if (status != JPEG_SUCCESS) return s.bit_count >= needed ? JPEG_SUCCESS : status;
  }
  return JPEG_SUCCESS;
}

int32_t SymbolFromStream(JpegInputStream& stream, const JpegHuffmanDecodeTable& t, int32_t* symbol,
                         bool* decoded) {
  int32_t status = FillBitBuffer(stream, 0);
  *decoded = status != JPEG_SUCCESS || stream.bit_count < kLongestCodeWalk;
  if (status == JPEG_SUCCESS && *decoded) status = DecodeHuffmanSymbol(stream, t, symbol);
  return status;
}

int32_t DecodeHuffmanSymbol(JpegInputStream& s, const JpegHuffmanDecodeTable& table,
                            int32_t* symbol) {
  if (s.bit_count < 8) {
    const int32_t status = FillBitBuffer(s, 0);
    if (status < 0) return status;
    if (s.bit_count < 8) return DecodeLongCode(s, table, 1, symbol);
  }
  const JpegHuffmanLookahead entry =
      table.lookahead[static_cast<uint32_t>(s.bit_buffer >> (s.bit_count - 8)) & 0xFF];
  if (entry.length != 0) {
    s.bit_count -= entry.length;
    *symbol = entry.symbol;
    return JPEG_SUCCESS;
  }
  return DecodeLongCode(s, table, 9, symbol);
}

int32_t DecodeBlockPlain(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                         int16_t* blocks) {
  return DecodeBlockRun<KeepAc::kAll>(*stream, coding, count, 0, blocks);
}

int32_t DecodeBlockDcOnlyPlain(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                               int16_t* blocks) {
  return DecodeBlockRun<KeepAc::kNone>(*stream, coding, count, 0, blocks);
}

int32_t DecodeBlockMixedPlain(JpegInputStream* stream, const BlockCoding* coding, int32_t count,
                              uint32_t keep_mask, int16_t* blocks) {
  return DecodeBlockRun<KeepAc::kMasked>(*stream, coding, count, keep_mask, blocks);
}

// Every version decodes as the plain one, so any table may fall back on it.
DecodeMixedRoutine MixedDecoderOf(const RoutineTable& table) {
  return table.DecodeBlock == &DecodeBlockBmi2 ? &DecodeBlockMixedBmi2 : &DecodeBlockMixedPlain;
}

int32_t ProcessRestartPoint(JpegInputStream& stream, JpegScanHeader& scan, int32_t across,
                            int32_t down, int32_t x, int32_t y) {
  const int64_t interval = scan.restart_interval;
  const int64_t done = int64_t{y} * across + x + 1;
  const int64_t total = int64_t{across} * down;
  if (done % interval != 0 || done >= total) return JPEG_SUCCESS;
  for (int32_t& pred : scan.dc_pred) pred = 0;
  stream.eob_run = 0;    // an end-of-band run never crosses a restart (T.81 G.1.2.2)
  stream.bit_count = 0;  // the padding bits before the marker go too
  // The marker stands here unless data was lost; held pending, it stops the bit reader.
  if (stream.pending_marker == 0) {
    int32_t code = 0;
    const Status read = ReadMarker(stream, code);
    if (!read.ok()) return read.code();
    if (code == kEndOfStream) return JPEG_SUCCESS;  // what is left decodes as zeros
    stream.pending_marker = static_cast<uint8_t>(code);
  }
  const int32_t code = stream.pending_marker;
  // Any other marker ends the scan's data: the rest decodes as zero blocks and the
  // marker stays for the marker loop.
  if (code < kMarkerRst0 || code > kMarkerRst7) return JPEG_SUCCESS;
  // RSTn follow each other modulo 8 (T.81 E.2.4). A later one means the intervals
  // before it were lost: they decode as zero blocks while it stays pending, and it is
  // taken at its own restart point.
  const int64_t expected = (done / interval - 1) & 7;
  const int64_t lost = (code - kMarkerRst0 - expected) & 7;
  if (lost == 0) {
    stream.pending_marker = 0;
    return JPEG_SUCCESS;
  }
  return done + lost * interval < total ? JPEG_SUCCESS : JPEG_ERR_BAD_RST;
}

// The SIMD classes (3-6) take the BMI2 build where the processor has it; it decodes as the
// plain one, bit for bit.
void InstallHuffmanRoutines(RoutineTable& table, ProcessorClass processor_class) {
  if (processor_class >= CPU_CLASS_FAMILY5_MMX && GetProcessorInfo().bmi2) {
    InstallRoutine(table, table.DecodeBlock, &DecodeBlockBmi2, "DecodeBlockBmi2");
    InstallRoutine(table, table.DecodeBlockDcOnly, &DecodeBlockDcOnlyBmi2, "DecodeBlockDcOnlyBmi2");
    return;
  }
  InstallRoutine(table, table.DecodeBlock, &DecodeBlockPlain, "DecodeBlockPlain");
  InstallRoutine(table, table.DecodeBlockDcOnly, &DecodeBlockDcOnlyPlain, "DecodeBlockDcOnlyPlain");
}

}  // namespace jpeg
