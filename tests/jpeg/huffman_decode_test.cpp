// The bit reader's marker and byte-stuffing behaviour and the sequential block
// decoder's DC prediction, runs and end-of-block handling. The block decoder takes
// bytes several at a time; it is held to a byte-wise reference decoder over encoded
// random blocks, with stuffed bytes, markers and ends placed at every byte offset.
#include "jpeg/huffman_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/quantization.h"
#include "jpeg/routine_table.h"
#include "tests/platform/temp_folder.h"

namespace {

using namespace jpeg;

// With its pass lookup, in memory that lasts as long as the test program.
HuffmanLookup LookupOf(const uint8_t* counts, const uint8_t* values, int32_t table_class) {
  static std::deque<PassLookup> passes;
  JpegHuffmanDecodeTable table{};
  EXPECT_EQ(BuildHuffmanTable(counts, values, table_class, 0, &table), 0);
  HuffmanLookup lookup{};
  BuildHuffmanLookup(table, &lookup, &passes.emplace_back());
  return lookup;
}

struct Decoder {
  explicit Decoder(std::vector<uint8_t> data) : bytes(std::move(data)) {
    AttachMemoryInput(stream, bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
    // DC: '0' = category 0, '10' = category 2.  AC: '0' EOB, '10' run 0 size 1,
    // '110' ZRL, '1110' run 14 size 1.
    const uint8_t dc_counts[16] = {1, 1};
    const uint8_t dc_values[] = {0x00, 0x02};
    const uint8_t ac_counts[16] = {1, 1, 1, 1};
    const uint8_t ac_values[] = {0x00, 0x01, 0xF0, 0xE1};
    dc = LookupOf(dc_counts, dc_values, 0);
    ac = LookupOf(ac_counts, ac_values, 1);
  }
  int32_t Block(int32_t* pred) {
    const BlockCoding coding{&dc, &ac, pred};
    return DecodeBlockPlain(&stream, &coding, 1, block);
  }
  std::vector<uint8_t> bytes;
  JpegInputStream stream{};
  HuffmanLookup dc{}, ac{};
  int16_t block[64] = {};
};

TEST(BitReader, StuffedZeroAfterFillByteIsOneDataByteAndMarkerStopsTheData) {
  Decoder d({0xFF, 0xFF, 0x00, 0x12, 0xFF, 0xD3});
  EXPECT_EQ(FillBitBuffer(d.stream, 17), kMarkerReached);
  EXPECT_EQ(d.stream.bit_count, 16);
  EXPECT_EQ(d.stream.bit_buffer & 0xFFFF, 0xFF12u);
  EXPECT_EQ(d.stream.pending_marker, 0xD3);
}

TEST(BitReader, ExhaustedMemorySuppliesZeroBits) {
  Decoder d({0xAB});
  EXPECT_EQ(FillBitBuffer(d.stream, 25), 0);
  EXPECT_GE(d.stream.bit_count, 25);
  EXPECT_EQ(d.stream.bit_buffer >> (d.stream.bit_count - 8), 0xABu);
}

TEST(BitReader, FinalFFOfMemoryInsideDataIsDataError) {
  Decoder d({0x12, 0xFF});
  EXPECT_EQ(FillBitBuffer(d.stream, 16), JPEG_ERR_DATA);
}

TEST(DecodeBlock, CategoryZeroKeepsThePredictor) {
  Decoder d({0x00});  // DC '0', AC EOB '0'
  int32_t pred = 5;
  EXPECT_EQ(d.Block(&pred), 0);
  EXPECT_EQ(pred, 5);
  EXPECT_EQ(d.block[0], 5);
  for (int i = 1; i < 64; ++i) EXPECT_EQ(d.block[i], 0);
}

TEST(DecodeBlock, DifferenceIsExtendedAndAdded) {
  Decoder d({0x80});  // DC '10' + bits '00' = -3, AC EOB
  int32_t pred = 10;
  EXPECT_EQ(d.Block(&pred), 0);
  EXPECT_EQ(pred, 7);
  EXPECT_EQ(d.block[0], 7);
}

TEST(DecodeBlock, RunPastCoefficient63WritesCoefficient63) {
  // DC '0'; '10'+'1' (k=1); three ZRL (k=50); '1110'+'1': run 14 lands past 63.
  Decoder d({0x5D, 0xB7, 0x40});
  int32_t pred = 0;
  EXPECT_EQ(d.Block(&pred), 0);
  EXPECT_EQ(d.block[1], 1);
  EXPECT_EQ(d.block[63], 1);
}

TEST(DecodeBlock, MarkerBeforeTheDcSymbolLeavesAnEmptyBlock) {
  Decoder d({0xFF, 0xD0});
  int32_t pred = 9;
  d.block[5] = 4;
  EXPECT_EQ(d.Block(&pred), 0);
  EXPECT_EQ(pred, 9);
  EXPECT_EQ(d.block[0], 0);
  EXPECT_EQ(d.block[5], 0);
}

TEST(ProcessRestart, EveryIntervalButTheLastMcuRestarts) {
  Decoder d({0x12, 0xFF, 0xD0, 0x34});
  JpegScanHeader scan{};
  scan.restart_interval = 2;
  scan.dc_pred[0] = 7;
  EXPECT_EQ(ProcessRestart(d.stream, scan, 2, 2, 0, 0), 0);  // MCU 1 of 4: no restart
  EXPECT_EQ(scan.dc_pred[0], 7);
  EXPECT_EQ(ProcessRestart(d.stream, scan, 2, 2, 1, 0), 0);  // MCU 2: searches the marker
  EXPECT_EQ(scan.dc_pred[0], 0);
  EXPECT_EQ(*d.stream.next_byte, 0x34);
  scan.dc_pred[0] = 3;
  EXPECT_EQ(ProcessRestart(d.stream, scan, 2, 2, 1, 1), 0);  // the last MCU: never
  EXPECT_EQ(scan.dc_pred[0], 3);
}

TEST(ProcessRestart, MarkerMetByTheBitReaderIsTakenWithoutSearching) {
  Decoder d({0x56});
  JpegScanHeader scan{};
  scan.restart_interval = 1;
  d.stream.pending_marker = 0xD0;
  d.stream.bit_count = 5;
  EXPECT_EQ(ProcessRestart(d.stream, scan, 4, 1, 0, 0), 0);
  EXPECT_EQ(d.stream.pending_marker, 0);
  EXPECT_EQ(d.stream.bit_count, 0);
  EXPECT_EQ(*d.stream.next_byte, 0x56);
}

// After MCU 1 of 4 (Ri = 1) RST0 is expected; what else stands there is kept pending.
TEST(ProcessRestart, OnlyTheExpectedRestartMarkerIsConsumed) {
  struct Case {
    uint8_t marker;
    int32_t status;
    uint8_t pending;
  };
  for (const Case& c : {Case{0xD0, 0, 0}, Case{0xD2, 0, 0xD2}, Case{0xD9, 0, 0xD9},
                        Case{0xD3, JPEG_ERR_BAD_RST, 0xD3}, Case{0xD7, JPEG_ERR_BAD_RST, 0xD7}}) {
    Decoder d({0x12, 0xFF, c.marker, 0x34});
    JpegScanHeader scan{};
    scan.restart_interval = 1;
    EXPECT_EQ(ProcessRestart(d.stream, scan, 4, 1, 0, 0), c.status) << int{c.marker};
    EXPECT_EQ(d.stream.pending_marker, c.pending) << int{c.marker};
  }
}

// Classes 0-2 get the plain decoders, the SIMD classes the BMI2 ones where the processor has it.
TEST(DecodeBlock, TheRoutineTableCarriesTheDecodersOfTheClass) {
  const bool bmi2 = GetProcessorInfo().bmi2;
  for (int32_t c = CPU_CLASS_GENERIC; c <= CPU_CLASS_FAMILY15_SSE2; ++c) {
    RoutineTable table{};
    InstallHuffmanRoutines(table, static_cast<ProcessorClass>(c));
    const bool fast = c >= CPU_CLASS_FAMILY5_MMX && bmi2;
    EXPECT_EQ(table.DecodeBlock, fast ? &DecodeBlockBmi2 : &DecodeBlockPlain) << "class " << c;
    EXPECT_EQ(table.DecodeBlockDcOnly, fast ? &DecodeBlockDcOnlyBmi2 : &DecodeBlockDcOnlyPlain)
        << "class " << c;
  }
}

// A record's lookup is rebuilt when its slot is replaced (a later DHT, a second image).
TEST(HuffmanLookup, FollowsItsSlotWhenTheSlotIsReplaced) {
  auto state = std::make_unique<JpegState>();
  const uint8_t short_counts[16] = {1, 1};  // '0' end of block, '10' run 0 size 1
  const uint8_t short_values[] = {0x00, 0x01};
  const uint8_t long_counts[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};  // one 12-bit code
  const uint8_t long_values[] = {0x00};
  ASSERT_EQ(BuildHuffmanTable(short_counts, short_values, 1, 2, &state->ac_tables[2]), 0);
  const HuffmanLookup* lookup = HuffmanLookupOf(*state, 1, 2);
  ASSERT_NE(lookup, nullptr);
  EXPECT_EQ(lookup->steps[0], 1u | kStepWhole);  // '0': end of block
  EXPECT_EQ(lookup->steps[0b1010000000], 3u | kStepWhole | 0x01u << 8 | 1u << 16);  // '10' '1': +1
  EXPECT_EQ(lookup->steps[0b1000000000],
            3u | kStepWhole | 0x01u << 8 | 0xFFFFu << 16);  // '10' '0': -1
  EXPECT_EQ(lookup->passes->moves[0], kPassNone);           // none until a read passes over values
  EXPECT_EQ(HuffmanLookupOf(*state, 1, 2, true)->passes->bits[0], 1);  // '0': end of block
  ASSERT_EQ(BuildHuffmanTable(long_counts, long_values, 1, 2, &state->ac_tables[2]), 0);
  lookup = HuffmanLookupOf(*state, 1, 2);
  EXPECT_EQ(lookup->steps[0], 0u);         // longer than the index
  EXPECT_EQ(lookup->passes->bits[0], 12);  // the pass lookup follows the slot too
  EXPECT_EQ(std::memcmp(&lookup->table, &state->ac_tables[2], sizeof lookup->table), 0);
  ReleaseHuffmanLookups(*state);
}

// The luminance tables of T.81 Annex K.3 (K.3.3.1 DC, K.3.3.2 AC): codes up to 16 bits.
constexpr uint8_t kDcCounts[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t kDcValues[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
constexpr uint8_t kAcCounts[16] = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D};
constexpr uint8_t kAcValues[162] = {
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61,
    0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52,
    0xD1, 0xF0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25,
    0x26, 0x27, 0x28, 0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45,
    0x46, 0x47, 0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64,
    0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83,
    0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99,
    0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6,
    0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3,
    0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8,
    0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA};

struct HuffmanCode {
  uint32_t bits = 0;
  int32_t length = 0;
};

// Canonical codes per symbol (T.81 C.1, C.2).
std::vector<HuffmanCode> CodesFor(const uint8_t* counts, const uint8_t* values) {
  std::vector<HuffmanCode> codes(256);
  uint32_t code = 0;
  int32_t index = 0;
  for (int32_t length = 1; length <= 16; ++length, code <<= 1)
    for (int32_t i = 0; i < counts[length - 1]; ++i) codes[values[index++]] = {code++, length};
  return codes;
}

// Entropy-coded bytes with 0xFF stuffing; the last byte is padded with 1 bits.
class BitWriter {
 public:
  void Put(uint32_t bits, int32_t length) {
    for (int32_t i = length - 1; i >= 0; --i) {
      byte_ = static_cast<uint8_t>(byte_ << 1 | ((bits >> i) & 1));
      if (++filled_ == 8) Flush();
    }
  }
  std::vector<uint8_t> Finish() {
    while (filled_ != 0) Put(1, 1);
    return bytes_;
  }

 private:
  void Flush() {
    bytes_.push_back(byte_);
    if (byte_ == 0xFF) bytes_.push_back(0x00);
    byte_ = 0;
    filled_ = 0;
  }
  std::vector<uint8_t> bytes_;
  uint8_t byte_ = 0;
  int32_t filled_ = 0;
};

// Size category and value bits of a coefficient (T.81 F.1.2.1).
void PutValue(BitWriter& out, const std::vector<HuffmanCode>& codes, int32_t run, int32_t v) {
  const int32_t magnitude = v < 0 ? -v : v;
  int32_t size = 0;
  while ((magnitude >> size) != 0) ++size;
  const HuffmanCode& code = codes[(run << 4) | size];
  out.Put(code.bits, code.length);
  if (size > 0) out.Put(static_cast<uint32_t>(v < 0 ? v + (1 << size) - 1 : v), size);
}

// Random blocks in zigzag order, from nearly empty to nearly full, with values of
// every size category the tables hold (DC differences up to 11 bits, AC up to 10).
std::vector<std::vector<int32_t>> RandomBlocks(std::mt19937& random, int32_t count) {
  std::vector<std::vector<int32_t>> blocks;
  const auto value = [&random](int32_t max_size) {
    const int32_t size = static_cast<int32_t>(random() % (max_size + 1));
    const int32_t v =
        size == 0 ? 0 : (1 << (size - 1)) + static_cast<int32_t>(random() % (1u << (size - 1)));
    return random() % 2 ? v : -v;
  };
  for (int32_t b = 0; b < count; ++b) {
    std::vector<int32_t> block(64, 0);
    const uint32_t density = random() % 100;
    block[0] = value(10);
    for (int32_t k = 1; k < 64; ++k)
      if (random() % 100 < density) block[k] = value(10);
    blocks.push_back(block);
  }
  return blocks;
}

// Encodes the blocks (DC as differences from the previous block, T.81 F.1.2).
std::vector<uint8_t> Encode(const std::vector<std::vector<int32_t>>& blocks) {
  const std::vector<HuffmanCode> dc = CodesFor(kDcCounts, kDcValues);
  const std::vector<HuffmanCode> ac = CodesFor(kAcCounts, kAcValues);
  BitWriter out;
  int32_t previous = 0;
  for (const std::vector<int32_t>& block : blocks) {
    PutValue(out, dc, 0, block[0] - previous);
    previous = block[0];
    int32_t run = 0;
    for (int32_t k = 1; k < 64; ++k) {
      if (block[k] == 0) {
        ++run;
        continue;
      }
      for (; run > 15; run -= 16) out.Put(ac[0xF0].bits, ac[0xF0].length);
      PutValue(out, ac, run, block[k]);
      run = 0;
    }
    if (run > 0) out.Put(ac[0x00].bits, ac[0x00].length);
  }
  return out.Finish();
}

// The byte-wise block decoder, step by step as T.81 F.2.2 reads, on FillBitBuffer and
// DecodeHuffmanSymbol: the reference for DecodeBlockPlain.
int32_t ReceiveExtend(JpegInputStream& s, int32_t size, int32_t* value) {
  if (s.bit_count < size) {
    const int32_t status = FillBitBuffer(s, size);
    if (status != 0) return status;
  }
  s.bit_count -= size;
  const int32_t v = static_cast<int32_t>((s.bit_buffer >> s.bit_count) & ((1u << size) - 1));
  *value = v < (1 << (size - 1)) ? v - ((1 << size) - 1) : v;
  return 0;
}

int32_t ReferenceBlock(JpegInputStream& s, const JpegHuffmanDecodeTable& dc,
                       const JpegHuffmanDecodeTable& ac, int32_t* pred, int16_t* block) {
  std::fill(block, block + 64, int16_t{0});
  const auto result = [](int32_t status) { return status == kMarkerReached ? 0 : status; };
  int32_t symbol = 0, value = 0;
  int32_t status = DecodeHuffmanSymbol(s, dc, &symbol);
  if (status != 0) return result(status);
  if ((symbol & 0x0F) != 0) {
    status = ReceiveExtend(s, symbol & 0x0F, &value);
    if (status != 0) return result(status);
    *pred = static_cast<int16_t>(*pred + value);
  }
  block[0] = static_cast<int16_t>(*pred);
  for (int32_t k = 1; k < 64;) {
    status = DecodeHuffmanSymbol(s, ac, &symbol);
    if (status != 0) return result(status);
    const int32_t run = symbol >> 4, size = symbol & 0x0F;
    if (size == 0) {
      if (run != 15) break;
      k += 16;
      continue;
    }
    status = ReceiveExtend(s, size, &value);
    if (status != 0) return result(status);
    block[kNaturalOrder[k + run]] = static_cast<int16_t>(value);
    k += run + 1;
  }
  return 0;
}

// The versions of the block decoders, each held to the reference.
struct BlockDecoders {
  const char* name;
  DecodeBlockRoutine full, dc_only;
  DecodeMixedRoutine mixed;
};

// The versions this processor runs.
std::vector<BlockDecoders> RunnableDecoders() {
  std::vector<BlockDecoders> versions{
      {"plain", &DecodeBlockPlain, &DecodeBlockDcOnlyPlain, &DecodeBlockMixedPlain}};
  if (GetProcessorInfo().bmi2)
    versions.push_back({"BMI2", &DecodeBlockBmi2, &DecodeBlockDcOnlyBmi2, &DecodeBlockMixedBmi2});
  else
    std::printf("The processor has no BMI2: its block decoders go untested.\n");
  return versions;
}

// Which blocks a comparison keeps whole: all, none (the DC-only decoder), or those of
// kMixedKeep in each call (the mixed decoder).
enum class Kept { kWhole, kDcOnly, kMixed };
constexpr uint32_t kMixedKeep = 0b110010;

// Decodes `count` blocks of one stream twice, with a version of the block decoder (or
// of the DC-only or mixed one) and with the reference, and requires the same blocks (DC
// coefficients where only they are kept), statuses and reader state after each.
class ReaderComparison {
 public:
  explicit ReaderComparison(const BlockDecoders& version, Kept kept = Kept::kWhole)
      : version_(version),
        keep_(kept == Kept::kWhole    ? ~0u
              : kept == Kept::kDcOnly ? 0u
                                      : kMixedKeep),
        mixed_(kept == Kept::kMixed),
        dc_(LookupOf(kDcCounts, kDcValues, 0)),
        ac_(LookupOf(kAcCounts, kAcValues, 1)) {}
  // The decoded blocks (zigzag order) up to the first error; `per_call` blocks to a
  // decoder call (one bit reader across them), compared after each call.
  std::vector<std::vector<int32_t>> Run(JpegInputStream& fast, JpegInputStream& reference,
                                        int32_t count, int32_t per_call = 1) {
    std::vector<std::vector<int32_t>> decoded;
    int32_t fast_pred = 0, reference_pred = 0;
    const std::vector<BlockCoding> coding(per_call, BlockCoding{&dc_, &ac_, &fast_pred});
    for (int32_t b = 0; b < count; b += per_call) {
      const int32_t n = std::min(per_call, count - b);
      std::vector<int16_t> fast_blocks(64 * n, 0), reference_blocks(64 * n, 0);
      // A stale DC, as the previous MCU leaves it: a block whose DC the data ends before is 0.
      for (int32_t i = 0; i < n; ++i) fast_blocks[64 * i] = 0x777;
      const int32_t fast_status =
          mixed_       ? version_.mixed(&fast, coding.data(), n, keep_, fast_blocks.data())
          : keep_ == 0 ? version_.dc_only(&fast, coding.data(), n, fast_blocks.data())
                       : version_.full(&fast, coding.data(), n, fast_blocks.data());
      int32_t reference_status = 0, done = 0;
      while (done < n && reference_status == 0)
        reference_status = ReferenceBlock(reference, dc_.table, ac_.table, &reference_pred,
                                          reference_blocks.data() + 64 * done++);
      for (int32_t i = 0; i < 64 * n; ++i)
        if (i % 64 != 0 && (keep_ >> (i / 64) & 1) == 0) reference_blocks[i] = 0;
      SCOPED_TRACE("blocks from " + std::to_string(b));
      EXPECT_EQ(fast_status, reference_status);
      EXPECT_EQ(fast_pred, reference_pred);
      EXPECT_TRUE(std::equal(fast_blocks.begin(), fast_blocks.begin() + 64 * done,
                             reference_blocks.begin()));
      ExpectSameState(fast, reference);
      if (fast_status != 0 || ::testing::Test::HasFailure()) break;
      for (int32_t i = 0; i < n; ++i) {
        std::vector<int32_t> zigzag(64);
        for (int32_t k = 0; k < 64; ++k) zigzag[k] = fast_blocks[64 * i + kNaturalOrder[k]];
        decoded.push_back(zigzag);
      }
    }
    return decoded;
  }
  std::vector<std::vector<int32_t>> RunOnMemory(const std::vector<uint8_t>& bytes, int32_t count,
                                                int32_t per_call = 1) {
    JpegInputStream fast{}, reference{};
    AttachMemoryInput(fast, bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
    AttachMemoryInput(reference, bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
    return Run(fast, reference, count, per_call);
  }

 private:
  // What a memory stream has left: its next bits (at most 96), the status that ends
  // them and the marker that stops them, read from a copy.
  struct Unread {
    std::vector<uint32_t> bits;
    int32_t status = 0;
    uint8_t marker = 0;
    bool operator==(const Unread&) const = default;
  };
  static Unread UnreadOf(JpegInputStream s) {
    Unread unread;
    while (unread.bits.size() < 96 && (unread.status = FillBitBuffer(s, 1)) == 0) {
      --s.bit_count;
      unread.bits.push_back(static_cast<uint32_t>(s.bit_buffer >> s.bit_count) & 1);
    }
    unread.marker = s.pending_marker;
    return unread;
  }
  // Equivalent states: the two may hold different numbers of bits in the bit buffer and
  // one may have met a marker the other has yet to reach. (A file's next call decodes
  // on from the state, and the blocks it gives are compared.)
  static void ExpectSameState(const JpegInputStream& a, const JpegInputStream& b) {
    if (IsFileInput(a)) return;
    EXPECT_TRUE(UnreadOf(a) == UnreadOf(b));
  }
  BlockDecoders version_;
  uint32_t keep_;
  bool mixed_;
  HuffmanLookup dc_, ac_;
};

TEST(DecodeBlockFastPath, DecodesRandomBlocksAsEncodedAndAsTheByteWiseReader) {
  const std::vector<BlockDecoders> versions = RunnableDecoders();
  std::mt19937 random(6);
  for (int32_t round = 0; round < 40; ++round) {
    const std::vector<std::vector<int32_t>> blocks = RandomBlocks(random, 1 + round % 17);
    std::vector<uint8_t> bytes = Encode(blocks);
    bytes.insert(bytes.end(), {0xFF, 0xD9});
    for (const BlockDecoders& version : versions) {
      SCOPED_TRACE(version.name);
      // Two blocks more than coded: they meet the marker and come out as the reference's.
      std::vector<std::vector<int32_t>> decoded =
          ReaderComparison(version).RunOnMemory(bytes, static_cast<int32_t>(blocks.size()) + 2);
      decoded.resize(blocks.size());
      EXPECT_EQ(decoded, blocks);
      for (const Kept kept : {Kept::kDcOnly, Kept::kMixed})
        ReaderComparison(version, kept)
            .RunOnMemory(bytes, static_cast<int32_t>(blocks.size()) + 2, 6);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

// One coded stream changed at every byte offset: a stuffed 0xFF put there, a marker
// put there (the rest of the data follows it), or the memory input ending there
// (zero bits follow; an end just after a 0xFF is a data error); decoded a block at a
// time and six blocks to one reader.
TEST(DecodeBlockFastPath, StuffingMarkersAndEndsAtEveryOffsetDecodeAsTheByteWiseReader) {
  const std::vector<BlockDecoders> versions = RunnableDecoders();
  std::mt19937 random(7);
  const std::vector<uint8_t> coded = Encode(RandomBlocks(random, 12));
  for (size_t i = 0; i < coded.size(); ++i) {
    SCOPED_TRACE("offset " + std::to_string(i));
    std::vector<uint8_t> stuffed(coded.begin(), coded.begin() + i);
    stuffed.insert(stuffed.end(), {0xFF, 0x00});
    stuffed.insert(stuffed.end(), coded.begin() + i, coded.end());
    std::vector<uint8_t> marked(coded.begin(), coded.begin() + i);
    marked.insert(marked.end(), {0xFF, 0xD3});
    marked.insert(marked.end(), coded.begin() + i, coded.end());
    std::vector<uint8_t> cut(coded.begin(), coded.begin() + i);
    std::vector<uint8_t> cut_after_ff = cut;
    cut_after_ff.push_back(0xFF);
    for (const std::vector<uint8_t>* bytes : {&stuffed, &marked, &cut, &cut_after_ff}) {
      for (const int32_t per_call : {1, 6}) {  // a block a call, and an MCU of 4:2:0
        for (const BlockDecoders& version : versions) {
          SCOPED_TRACE(version.name);
          for (const Kept kept : {Kept::kWhole, Kept::kDcOnly, Kept::kMixed})
            ReaderComparison(version, kept).RunOnMemory(*bytes, 16, per_call);
          if (::testing::Test::HasFailure()) return;
        }
      }
    }
  }
}

// Bytes that code no blocks at all: runs past coefficient 63, codes no table holds and
// markers anywhere decode as the byte-wise reader decodes them, passed over too.
TEST(DecodeBlockFastPath, ArbitraryBytesDecodeAsTheByteWiseReader) {
  const std::vector<BlockDecoders> versions = RunnableDecoders();
  std::mt19937 random(9);
  for (int32_t round = 0; round < 200; ++round) {
    std::vector<uint8_t> bytes(32 + random() % 256);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    for (const BlockDecoders& version : versions) {
      SCOPED_TRACE(version.name);
      for (const Kept kept : {Kept::kWhole, Kept::kDcOnly, Kept::kMixed})
        ReaderComparison(version, kept).RunOnMemory(bytes, 64, 4);
    }
    if (::testing::Test::HasFailure()) return;
  }
}

// Decodes a file of coded blocks, with or without an EOI behind them, both ways.
std::vector<std::vector<int32_t>> CompareOnFile(const BlockDecoders& version,
                                                const std::vector<uint8_t>& bytes, int32_t count) {
  const TempFolder folder;
  const std::string path =
      folder.Write("blocks.bin", {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  JpegInputStream fast{}, reference{};
  EXPECT_EQ(OpenFileInput(fast, path.c_str()), 0);
  EXPECT_EQ(OpenFileInput(reference, path.c_str()), 0);
  std::vector<std::vector<int32_t>> decoded = ReaderComparison(version).Run(fast, reference, count);
  EXPECT_EQ(CloseFileInput(fast), 0);
  EXPECT_EQ(CloseFileInput(reference), 0);
  return decoded;
}

TEST(DecodeBlockFastPath, FileInputAcrossBufferRefillsDecodesAsTheByteWiseReader) {
  std::mt19937 random(8);
  const std::vector<std::vector<int32_t>> blocks = RandomBlocks(random, 400);
  std::vector<uint8_t> bytes = Encode(blocks);
  ASSERT_GT(bytes.size(), 2u * JPEG_FILE_BUFFER_SIZE);
  const int32_t count = static_cast<int32_t>(blocks.size()) + 1;
  std::vector<uint8_t> ended = bytes;
  ended.insert(ended.end(), {0xFF, 0xD9});
  for (const BlockDecoders& version : RunnableDecoders()) {
    SCOPED_TRACE(version.name);
    // Without EOI the file ends inside the data: a file error for both, at the same block.
    EXPECT_GE(CompareOnFile(version, bytes, count).size(), blocks.size() - 1);
    std::vector<std::vector<int32_t>> decoded = CompareOnFile(version, ended, count);
    decoded.resize(blocks.size());
    EXPECT_EQ(decoded, blocks);
  }
}

}  // namespace
