// The block-wise bit reader shared by the sequential and progressive block decoders:
// the stream's bit reader held in registers for the length of one call, taking data
// bytes up to eight at a time while they hold no 0xFF but a stuffed one, so that one refill serves
// a code and its value bits, usually two of them. The unread bits stand at the top of the register,
// so that a lookup index is one shift and taking bits another: the chain from one lookup to the
// next is as short as it can be. Everything here has internal linkage, and no library template is
// instantiated: files built with other instruction-set flags include it too, and no copy of theirs
// may stand in for another file's.
#pragma once

#include <cstdint>
#include <cstring>

#include "jpeg/huffman_decode.h"
#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/jpeg_codec.h"

namespace jpeg {
namespace {

inline uint64_t LoadBigEndian64(const uint8_t* p) {
  uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  return __builtin_bswap64(word);
}

// Whether the word holds a 0xFF byte: a zero byte of its complement, whose borrow can
// reach only bytes above the first zero, so the answer is exact.
inline bool HasByte0xFF(uint64_t word) {
  return ((~word - 0x0101010101010101ull) & word & 0x8080808080808080ull) != 0;
}

// Leading bytes of the big-endian word before its first 0xFF (8 when there is none).
// The per-byte test cannot carry into a neighbouring byte.
inline int32_t BytesBefore0xFF(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const uint64_t inverted = ~word;  // 0xFF bytes become 0x00
  const uint64_t zero = ~(((inverted & kLow7) + kLow7) | inverted | kLow7);
  return zero == 0 ? 8 : __builtin_clzll(zero) >> 3;
}

// 2^s - 1 for s = 0..15: the value-bit masks, and the offsets EXTEND subtracts.
inline constexpr uint32_t kValueMask[16] = {0,   1,   3,    7,    15,   31,   63,    127,
                                            255, 511, 1023, 2047, 4095, 8191, 16383, 32767};

// EXTEND (T.81 F.2.2.1) of size >= 1 value bits v: a leading 0 bit makes it negative.
inline int32_t Extend(uint32_t v, int32_t size) {
  const uint32_t mask = kValueMask[size];
  return static_cast<int32_t>(v) - static_cast<int32_t>(v <= (mask >> 1) ? mask : 0);
}

// The longest Huffman code, plus the one bit a code that matches no length takes.
inline constexpr int32_t kLongestCodeWalk = 17;

// The canonical walk (T.81 F.2.2.3) for a code longer than 8 bits over the next 17 bits
// (`window`): its symbol, and in *length the bits it takes (17 when no length matches).
inline int32_t LongCodeIn(uint32_t window, const JpegHuffmanDecodeTable& t, int32_t* length) {
  int32_t l = 9;
  int32_t code = static_cast<int32_t>(window >> 8);
  while (l <= 16 && code > t.maxcode[l]) {
    ++l;
    code = static_cast<int32_t>(window >> (kLongestCodeWalk - l));
  }
  *length = l;
  return l <= 16 ? t.values[(t.valptr[l] + code - t.mincode[l]) & 0xFF] : 0;
}

// The bit reader of one call, held in locals. The next bit is buffer_'s top bit (the
// stream keeps its bits at the low end: Load and Store turn them). Data bytes before the next 0xFF
// are taken eight at a time, only where eight remain in the buffer, and a stuffed 0xFF among them
// as a data byte; other 0xFF bytes (fill bytes, a marker), the last bytes of the buffer and the
// end of the data go through the stream's byte-wise reader.
// Both take the same bits in the same order, and a step gets kMarkerReached or an input error only
// when the bits before the marker or the end are fewer than it needs, so the statuses do not depend
// on how far ahead either read. Finish hands the unread whole bytes it took back to the stream
// (those loaded before a stuffed zero it passed over stay in the stream's bit buffer).
class BlockReader {
 public:
  explicit BlockReader(JpegInputStream& stream) : stream_(stream) { Load(); }
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  // As DecodeHuffmanSymbol: 0, kMarkerReached or a negative status.
  [[gnu::always_inline]] int32_t Symbol(const JpegHuffmanDecodeTable& t, int32_t* symbol) {
    if (!Ensure(kLongestCodeWalk)) [[unlikely]]
      return SymbolNearEnd(t, symbol);
    *symbol = HeldSymbol(t);
    return JPEG_SUCCESS;
  }

  // Takes size (1..15) value bits and extends them: 0, kMarkerReached or a negative status.
  [[gnu::always_inline]] int32_t Value(int32_t size, int32_t* value) {
    uint32_t bits = 0;
    const int32_t status = Bits(size, &bits);
    if (status == JPEG_SUCCESS) *value = Extend(bits, size);
    return status;
  }

  // Takes size (1..16) bits as they stand: 0, kMarkerReached or a negative status.
  [[gnu::always_inline]] int32_t Bits(int32_t size, uint32_t* bits) {
    if (!Ensure(size)) [[unlikely]] {
      const int32_t status = FillNearEnd(size);
      if (status != JPEG_SUCCESS) return status;
    }
    *bits = Take(size);
    return JPEG_SUCCESS;
  }

  // Hands the state back to the stream at the end of the call.
  [[gnu::always_inline]] void Finish() { Store(); }

  // MemoryInputRanDry of the state held.
  [[gnu::always_inline]] bool InputRanDry() const {
    return !IsFileInput(stream_) && left_ <= 0 && stream_.pending_marker == 0;
  }

  // For decoders that look further ahead than one step: whether `need` (at most 32)
  // bits are held after taking what bytes the fast way can.
  [[gnu::always_inline]] bool Ensure(int32_t need) {
    if (count_ >= need) [[likely]]
      return true;
    LoadBytes();
    return count_ >= need;
  }
  // The next n (1..24) bits, left where they are; at least n must be held.
  [[gnu::always_inline]] uint32_t Peek(int32_t n) const {
    return static_cast<uint32_t>(buffer_ >> (64 - n));
  }
  // n (0..31) bits at most as many as held.
  [[gnu::always_inline]] void Skip(int32_t n) {
    buffer_ <<= n;
    count_ -= n;
  }
  [[gnu::always_inline]] uint32_t Take(int32_t n) {
    const uint32_t bits = Peek(n);
    Skip(n);
    return bits;
  }

  // A symbol from the bits held, kLongestCodeWalk of them at least: codes up to 8 bits
  // through the lookahead, longer ones through the canonical walk.
  [[gnu::always_inline]] int32_t HeldSymbol(const JpegHuffmanDecodeTable& t) {
    const JpegHuffmanLookahead entry = t.lookahead[Peek(8)];
    if (entry.length == 0) [[unlikely]] {
      int32_t length = 0;
      const int32_t symbol = LongCodeIn(Peek(kLongestCodeWalk), t, &length);
      Skip(length);
      return symbol;
    }
    Skip(entry.length);
    return entry.symbol;
  }

 private:
  // Data bytes before the next 0xFF, up to what the buffer has room for, while
  // eight bytes remain to be loaded at once. Below the bits held, buffer_ holds zeros
  // or the data bits that follow them, so the whole word may go in when it has no
  // 0xFF: the bits past the bytes counted are the next load's own.
  [[gnu::always_inline]] void LoadBytes() {
    if (left_ < 8) return;
    uint64_t word = LoadBigEndian64(next_);
    int32_t n = (63 - count_) >> 3;
    if (HasByte0xFF(word)) [[unlikely]] {
      const int32_t data = BytesBefore0xFF(word);
      if (data < n && data < 7 && (word >> (48 - 8 * data) & 0xFF) == 0) {
        // A stuffed zero (T.81 F.1.2.3): the 0xFF is a data byte, and the zero is passed
        // over. The bytes before it are no longer whole in memory behind next_, so Store
        // leaves them in the stream's bit buffer rather than handing them back.
        n = data + 1;
        buffer_ |= (word & ~(~uint64_t{0} >> (8 * n))) >> count_;
        count_ += 8 * n;
        next_ += n + 1;
        left_ -= n + 1;
        first_ = next_;
        return;
      }
      n = data < n ? data : n;
      word &= ~(~uint64_t{0} >> (8 * data));  // nothing from the 0xFF on
    }
    buffer_ |= word >> count_;
    count_ += 8 * n;
    next_ += n;
    left_ -= n;
  }

  // Where the fast way cannot give a symbol its longest code: the byte-wise reader
  // fills the buffer past the 0xFF, or decodes the symbol from what is left before a
  // marker or the end. (The slow work is out of line on the stream alone, so that the
  // reader stays in registers.)
  [[gnu::always_inline]] int32_t SymbolNearEnd(const JpegHuffmanDecodeTable& t, int32_t* symbol) {
    Store();
    bool decoded = false;
    int32_t held = 0;  // not *symbol, which the callers' loops keep in a register
    const int32_t status = SymbolFromStream(stream_, t, &held, &decoded);
    Load();
    *symbol = status == JPEG_SUCCESS && !decoded ? HeldSymbol(t) : held;
    return status;
  }

  [[gnu::always_inline]] int32_t FillNearEnd(int32_t needed) {
    Store();
    const int32_t status = FillBitBuffer(stream_, needed);
    Load();
    return status;
  }

  // The stream's bits above its count are stale and go; the two shifts allow a count of 0.
  [[gnu::always_inline]] void Load() {
    count_ = stream_.bit_count;
    buffer_ = (stream_.bit_buffer << 1) << (63 - count_);
    next_ = stream_.next_byte;
    first_ = next_;
    left_ = stream_.pending_marker != 0 ? 0 : stream_.bytes_left;  // a marker stops the data
  }

  // Writes the state back, the whole bytes loaded since Load and not yet read returned
  // to the buffer.
  [[gnu::always_inline]] void Store() {
    const auto loaded = static_cast<int32_t>(next_ - first_);
    const int32_t unread = loaded < count_ >> 3 ? loaded : count_ >> 3;
    const auto taken = static_cast<int32_t>(next_ - stream_.next_byte) - unread;
    stream_.next_byte += taken;
    stream_.bytes_left -= taken;
    stream_.bytes_consumed += static_cast<uint32_t>(taken);
    stream_.bit_buffer = ((buffer_ >> 1) >> (63 - count_)) >> (8 * unread);
    stream_.bit_count = count_ - 8 * unread;
  }

  JpegInputStream& stream_;
  uint64_t buffer_ = 0;
  int32_t count_ = 0;  // valid bits at the top of buffer_
  const uint8_t* next_ = nullptr;
  const uint8_t* first_ = nullptr;  // the bytes from here on were loaded whole (from Load on,
                                    // or from the last stuffed zero)
  int32_t left_ = 0;
};

// A code and its value bits take at most this many bits.
inline constexpr int32_t kLongestStep = 16 + 15;

// One decoding step, a symbol and its value (kTakeValue false passes over the value
// bits), from kLongestStep bits held: through the lookup where the code and its value
// fit the index, else code and value bits one after the other.
template <bool kTakeValue>
[[gnu::always_inline]] inline int32_t HeldStep(BlockReader& reader, const HuffmanLookup& t,
                                               int32_t* value) {
  const uint32_t step = t.steps[reader.Peek(kLookupBits)];
  const int32_t taken = static_cast<int32_t>(step & 63);
  *value = static_cast<int32_t>(step) >> 16;
  if (*value != 0) {
    reader.Skip(taken);
    return static_cast<int32_t>(step >> 8 & 0xFF);
  }
  int32_t symbol = 0;
  if (taken != 0) {
    reader.Skip(taken);
    symbol = static_cast<int32_t>(step >> 8 & 0xFF);
  } else {
    symbol = reader.HeldSymbol(t.table);
  }
  const int32_t size = symbol & 0x0F;
  if (size != 0) {
    if (kTakeValue)
      *value = Extend(reader.Take(size), size);
    else
      reader.Skip(size);
  }
  return symbol;
}

// A step's status as the block's result: a marker that stopped the data ends the
// block without error.
inline int32_t BlockStatus(int32_t status) {
  return status == kMarkerReached ? JPEG_SUCCESS : status;
}

}  // namespace
}  // namespace jpeg
