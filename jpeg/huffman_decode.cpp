// Sequential Huffman decoding (T.81 F.2.2). The bit reader appends bytes at the low
// end of a 64-bit buffer; a marker met inside the data is kept in pending_marker and
// no further bytes are supplied, so the blocks that follow end early as zeros until
// the restart or the end of the scan takes the marker. Every table index is bounded
// by construction: lookahead by 8 bits, values by the canonical code ranges, and
// coefficient positions by the natural-order table's padding of 63s. The block
// decoder takes data bytes up to eight at a time while they hold no 0xFF and ends
// every block in the very state the byte-wise reader would leave (BlockReader).
#include "jpeg/huffman_decode.h"

#include <algorithm>
#include <bit>

#include "jpeg/input_stream.h"
#include "jpeg/quantization.h"
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

uint64_t LoadBigEndian64(const uint8_t* p) {
  uint64_t word = 0;
  for (int i = 0; i < 8; ++i) word = word << 8 | p[i];
  return word;
}

// Leading bytes of the big-endian word before its first 0xFF (8 when there is none).
// The per-byte test cannot carry into a neighbouring byte.
int32_t BytesBefore0xFF(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const uint64_t inverted = ~word;  // 0xFF bytes become 0x00
  const uint64_t zero = ~(((inverted & kLow7) + kLow7) | inverted | kLow7);
  return zero == 0 ? 8 : std::countl_zero(zero) >> 3;
}

// 2^s - 1 for s = 0..15: the value-bit masks, and the offsets EXTEND subtracts.
constexpr uint32_t kValueMask[16] = {0,   1,   3,    7,    15,   31,   63,    127,
                                     255, 511, 1023, 2047, 4095, 8191, 16383, 32767};

// EXTEND (T.81 F.2.2.1) of size >= 1 value bits v: a leading 0 bit makes it negative.
int32_t Extend(uint32_t v, int32_t size) {
  const uint32_t mask = kValueMask[size];
  return static_cast<int32_t>(v) - static_cast<int32_t>(v <= (mask >> 1) ? mask : 0);
}

// The bit reader of one block, held in locals. Its state is the stream's byte-wise
// state plus whole data bytes, never 0xFF, taken from the buffer early: the early_
// bits at the low end of buffer_. Each step repeats the byte-wise reader's refill rule
// on count_ - early_ (fewer bits than the step needs: take bytes until more than 24
// are held) and serves those bytes from the ones taken early; only when they run out
// are bytes loaded, eight at a time. Whatever this cannot serve (a 0xFF,
// the last 8 bytes of the buffer, a pending marker) is handed to the byte-wise
// routines on the byte-wise state, so coefficients, markers, statuses and the stream
// position at the end of every block are exactly those of the byte-wise reader.
class BlockReader {
 public:
  explicit BlockReader(JpegInputStream& stream) : stream_(stream) { Load(); }
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  // As DecodeHuffmanSymbol: 0, kMarkerReached or a negative status.
  [[gnu::always_inline]] int32_t Symbol(const JpegHuffmanDecodeTable& t, int32_t* symbol) {
    if (!FastFill(8)) [[unlikely]] {
      const int32_t status = OnStream([](JpegInputStream& s) { return FillBitBuffer(s, 0); });
      if (status != JPEG_SUCCESS) return status;
      if (count_ < 8)
        return OnStream([&](JpegInputStream& s) { return DecodeLongCode(s, t, 1, symbol); });
    }
    const JpegHuffmanLookahead entry = t.lookahead[(buffer_ >> (count_ - 8)) & 0xFF];
    if (entry.length == 0) [[unlikely]]
      return LongCode(t, symbol);
    Consume(entry.length);
    *symbol = entry.symbol;
    return JPEG_SUCCESS;
  }

  // Hands the byte-wise state back to the stream at the end of the block.
  [[gnu::always_inline]] void Finish() { Store(); }

  // Takes size (1..15) value bits and extends them: 0, kMarkerReached or a negative status.
  [[gnu::always_inline]] int32_t Value(int32_t size, int32_t* value) {
    if (!FastFill(size)) [[unlikely]] {
      const int32_t status =
          OnStream([size](JpegInputStream& s) { return FillBitBuffer(s, size); });
      if (status != JPEG_SUCCESS) return status;
    }
    Consume(size);
    *value = Extend(static_cast<uint32_t>(buffer_ >> count_) & kValueMask[size], size);
    return JPEG_SUCCESS;
  }

 private:
  [[gnu::always_inline]] void Consume(int32_t bits) { count_ -= bits; }

  // Before a step that needs `need` (at most 16) bits: the byte-wise reader's refill,
  // when it would make one, served from the bytes taken early. The refill takes whole
  // bytes until more than 24 bits are held. False when the byte-wise reader has to
  // make it.
  [[gnu::always_inline]] bool FastFill(int32_t need) {
    if (count_ - need >= early_) return true;  // the byte-wise count is at least need
    const int32_t bits = (32 - (count_ - early_)) & ~7;
    if (early_ < bits && !LoadAhead(bits)) return false;
    early_ -= bits;
    return true;
  }

  // Codes longer than 8 bits (T.81 F.2.2.3) from one 17-bit window: the byte-wise
  // walk takes up to 17 bits one at a time and refills (4 bytes) if it runs empty.
  [[gnu::always_inline]] int32_t LongCode(const JpegHuffmanDecodeTable& t, int32_t* symbol) {
    if (!FastFill(9)) {
      const int32_t status = OnStream([](JpegInputStream& s) { return FillBitBuffer(s, 9); });
      if (status != JPEG_SUCCESS) return status;
    }
    const int32_t exact = count_ - early_;
    if (exact < 17 && early_ < 32 && !LoadAhead(32))
      return OnStream([&](JpegInputStream& s) { return DecodeLongCode(s, t, 9, symbol); });
    const uint32_t window = static_cast<uint32_t>(buffer_ >> (count_ - 17)) & 0x1FFFF;
    int32_t l = 9;
    int32_t code = static_cast<int32_t>(window >> 8);
    while (l <= 16 && code > t.maxcode[l]) {
      ++l;
      code = static_cast<int32_t>(window >> (17 - l));
    }
    *symbol = l <= 16 ? t.values[(t.valptr[l] + code - t.mincode[l]) & 0xFF] : 0;
    Consume(l);  // 17 when no length matched
    if (l > exact) early_ -= 32;
    return JPEG_SUCCESS;
  }

  // Takes data bytes until early_ reaches `bits` (at most 32); false, taking nothing,
  // when a 0xFF or the last 8 bytes of the buffer come first.
  [[gnu::always_inline]] bool LoadAhead(int32_t bits) {
    if (left_ < 8) return false;
    const uint64_t word = LoadBigEndian64(next_);
    const int32_t n = std::min((63 - count_) >> 3, BytesBefore0xFF(word));
    if (early_ + 8 * n < bits) return false;
    buffer_ = buffer_ << (8 * n) | word >> (64 - 8 * n);
    count_ += 8 * n;
    early_ += 8 * n;
    next_ += n;
    left_ -= n;
    return true;
  }

  [[gnu::always_inline]] void Load() {
    buffer_ = stream_.bit_buffer;
    count_ = stream_.bit_count;
    early_ = 0;
    next_ = stream_.next_byte;
    left_ = stream_.pending_marker != 0 ? 0 : stream_.bytes_left;  // a marker stops the data
  }

  // Writes the byte-wise state back: the bytes taken early return to the buffer.
  [[gnu::always_inline]] void Store() {
    const int32_t taken = static_cast<int32_t>(next_ - stream_.next_byte) - (early_ >> 3);
    stream_.next_byte += taken;
    stream_.bytes_left -= taken;
    stream_.bytes_consumed += static_cast<uint32_t>(taken);
    stream_.bit_buffer = buffer_ >> early_;
    stream_.bit_count = count_ - early_;
  }

  template <typename Step>
  [[gnu::always_inline]] int32_t OnStream(Step step) {
    Store();
    const int32_t status = step(stream_);
    Load();
    return status;
  }

  JpegInputStream& stream_;
  uint64_t buffer_ = 0;
  int32_t count_ = 0;  // valid bits at the low end of buffer_
  int32_t early_ = 0;  // of which the newest were taken early (whole bytes)
  const uint8_t* next_ = nullptr;
  int32_t left_ = 0;
};

// A step's status as the block's result: a marker that stopped the data ends the
// block without error.
int32_t BlockStatus(int32_t status) {
  return status == kMarkerReached ? JPEG_SUCCESS : status;
}

// The block loop (T.81 F.2.2.1, F.2.2.2); kStoreAc false decodes the AC values and
// drops them.
template <bool kStoreAc>
[[gnu::always_inline]] inline int32_t DecodeBlockSteps(BlockReader& reader,
                                                       const JpegHuffmanDecodeTable& dc,
                                                       const JpegHuffmanDecodeTable& ac,
                                                       int32_t* dc_pred, int16_t* block) {
  int32_t symbol = 0, value = 0;
  int32_t status = reader.Symbol(dc, &symbol);
  if (status != JPEG_SUCCESS) return BlockStatus(status);
  const int32_t s = symbol & 0x0F;
  if (s > 0) {
    status = reader.Value(s, &value);
    if (status != JPEG_SUCCESS) return BlockStatus(status);
    *dc_pred = static_cast<int16_t>(*dc_pred + value);
  }
  block[0] = static_cast<int16_t>(*dc_pred);
  for (int32_t k = 1; k < 64;) {
    status = reader.Symbol(ac, &symbol);
    if (status != JPEG_SUCCESS) return BlockStatus(status);
    const int32_t r = symbol >> 4, size = symbol & 0x0F;
    if (size == 0) {
      if (r != 15) break;  // end of block
      k += 16;             // ZRL
      continue;
    }
    status = reader.Value(size, &value);
    if (status != JPEG_SUCCESS) return BlockStatus(status);
    if (kStoreAc) block[kNaturalOrder[k + r]] = static_cast<int16_t>(value);
    k += r + 1;
  }
  return JPEG_SUCCESS;
}

template <bool kStoreAc>
int32_t DecodeBlockBody(JpegInputStream& stream, const JpegHuffmanDecodeTable& dc,
                        const JpegHuffmanDecodeTable& ac, int32_t* dc_pred, int16_t* block) {
  BlockReader reader(stream);
  const int32_t status = DecodeBlockSteps<kStoreAc>(reader, dc, ac, dc_pred, block);
  reader.Finish();
  return status;
}

}  // namespace

int32_t FillBitBuffer(JpegInputStream& s, int32_t needed) {
  while (s.bit_count <= 24) {
    if (s.pending_marker != 0) return s.bit_count >= needed ? JPEG_SUCCESS : kMarkerReached;
    if (s.bytes_left <= 0 && !IsFileInput(s)) {
      AppendByte(s, 0);  // past the end of memory input: zero bits
      continue;
    }
    uint8_t byte = 0;
    int32_t status = NextByte(s, JPEG_ERR_DATA, &byte);
    if (status != JPEG_SUCCESS) return status;
    if (byte != 0xFF) {
      AppendByte(s, byte);
      continue;
    }
    status = TakeAfterFF(s);
    if (status != JPEG_SUCCESS) return status;
  }
  return JPEG_SUCCESS;
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

int32_t DecodeBlockPlain(JpegInputStream* stream, const JpegHuffmanDecodeTable* dc,
                         const JpegHuffmanDecodeTable* ac, int32_t* dc_pred, int16_t* block) {
  CodecZero(block, 64 * sizeof(int16_t));
  return DecodeBlockBody<true>(*stream, *dc, *ac, dc_pred, block);
}

int32_t DecodeBlockDcOnlyPlain(JpegInputStream* stream, const JpegHuffmanDecodeTable* dc,
                               const JpegHuffmanDecodeTable* ac, int32_t* dc_pred, int16_t* block) {
  return DecodeBlockBody<false>(*stream, *dc, *ac, dc_pred, block);
}

int32_t ProcessRestart(JpegInputStream& stream, JpegScanHeader& scan, int32_t across, int32_t down,
                       int32_t x, int32_t y) {
  if (scan.restart_interval == 0) return JPEG_SUCCESS;
  const int64_t done = int64_t{y} * across + x + 1;
  if (done % scan.restart_interval != 0 || done >= int64_t{across} * down) return JPEG_SUCCESS;
  for (int32_t& pred : scan.dc_pred) pred = 0;
  stream.bit_count = 0;  // the padding bits before the marker go too
  if (stream.pending_marker != 0) {
    stream.pending_marker = 0;  // the bit reader has met the marker already
    return JPEG_SUCCESS;
  }
  const int32_t code = ReadMarker(stream);
  return code < 0 ? code : JPEG_SUCCESS;
}

void InstallHuffmanRoutines(RoutineTable& table, ProcessorClass) {
  InstallRoutine(table, table.DecodeBlock, &DecodeBlockPlain, "DecodeBlockPlain");
  InstallRoutine(table, table.DecodeBlockDcOnly, &DecodeBlockDcOnlyPlain, "DecodeBlockDcOnlyPlain");
}

}  // namespace jpeg
