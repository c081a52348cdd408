// The block-wise bit reader shared by the sequential and progressive block decoders:
// the stream's byte-wise bit reader held in registers for the length of one block
// (or of the blocks between two restart points of a progressive scan), taking data
// bytes up to eight at a time while they hold no 0xFF.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>

#include "jpeg/huffman_decode.h"
#include "jpeg/input_stream.h"
#include "jpeg/jpeg_codec.h"

namespace jpeg {

// The canonical slow path (T.81 F.2.2.3) for a code of at least `first` bits.
[[nodiscard]] int32_t DecodeLongCode(JpegInputStream& s, const JpegHuffmanDecodeTable& t,
                                     int32_t first, int32_t* symbol);

inline uint64_t LoadBigEndian64(const uint8_t* p) {
  uint64_t word = 0;
  for (int i = 0; i < 8; ++i) word = word << 8 | p[i];
  return word;
}

// Leading bytes of the big-endian word before its first 0xFF (8 when there is none).
// The per-byte test cannot carry into a neighbouring byte.
inline int32_t BytesBefore0xFF(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const uint64_t inverted = ~word;  // 0xFF bytes become 0x00
  const uint64_t zero = ~(((inverted & kLow7) + kLow7) | inverted | kLow7);
  return zero == 0 ? 8 : std::countl_zero(zero) >> 3;
}

// 2^s - 1 for s = 0..15: the value-bit masks, and the offsets EXTEND subtracts.
inline constexpr uint32_t kValueMask[16] = {0,   1,   3,    7,    15,   31,   63,    127,
                                            255, 511, 1023, 2047, 4095, 8191, 16383, 32767};

// EXTEND (T.81 F.2.2.1) of size >= 1 value bits v: a leading 0 bit makes it negative.
inline int32_t Extend(uint32_t v, int32_t size) {
  const uint32_t mask = kValueMask[size];
  return static_cast<int32_t>(v) - static_cast<int32_t>(v <= (mask >> 1) ? mask : 0);
}

// The bit reader of one block or of a stretch of blocks, held in locals. Its state is the stream's
// byte-wise state plus whole data bytes, never 0xFF, taken from the buffer early: the early_ bits
// at the low end of buffer_. Each step repeats the byte-wise reader's refill rule on count_ -
// early_ (fewer bits than the step needs: take bytes until more than 24 are held) and serves those
// bytes from the ones taken early; only when they run out are bytes loaded, eight at a time.
// Whatever this cannot serve (a 0xFF, the last 8 bytes of the buffer, a pending marker) is handed
// to the byte-wise routines on the byte-wise state, so coefficients, markers, statuses and the
// stream position at every Finish are exactly those of the byte-wise reader.
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

  // MemoryInputRanDry of the byte-wise state, without handing it back: the bytes
  // taken early still count as left.
  [[gnu::always_inline]] bool InputRanDry() const {
    return !IsFileInput(stream_) && left_ + (early_ >> 3) <= 0 && stream_.pending_marker == 0;
  }

  // Takes size (1..15) value bits and extends them: 0, kMarkerReached or a negative status.
  [[gnu::always_inline]] int32_t Value(int32_t size, int32_t* value) {
    uint32_t bits = 0;
    const int32_t status = Bits(size, &bits);
    if (status == JPEG_SUCCESS) *value = Extend(bits, size);
    return status;
  }

  // Takes size (1..15) bits as they stand: 0, kMarkerReached or a negative status.
  [[gnu::always_inline]] int32_t Bits(int32_t size, uint32_t* bits) {
    if (!FastFill(size)) [[unlikely]] {
      const int32_t status =
          OnStream([size](JpegInputStream& s) { return FillBitBuffer(s, size); });
      if (status != JPEG_SUCCESS) return status;
    }
    Consume(size);
    *bits = static_cast<uint32_t>(buffer_ >> count_) & kValueMask[size];
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
inline int32_t BlockStatus(int32_t status) {
  return status == kMarkerReached ? JPEG_SUCCESS : status;
}

}  // namespace jpeg
