// The bit reader's marker and byte-stuffing behaviour and the sequential block
// decoder's DC prediction, runs and end-of-block handling.
#include "jpeg/huffman_decode.h"

#include <gtest/gtest.h>

#include <vector>

#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/routine_table.h"

namespace {

using namespace jpeg;

struct Decoder {
  explicit Decoder(std::vector<uint8_t> data) : bytes(std::move(data)) {
    AttachMemoryInput(stream, bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
    // DC: '0' = category 0, '10' = category 2.  AC: '0' EOB, '10' run 0 size 1,
    // '110' ZRL, '1110' run 14 size 1.
    const uint8_t dc_counts[16] = {1, 1};
    const uint8_t dc_values[] = {0x00, 0x02};
    const uint8_t ac_counts[16] = {1, 1, 1, 1};
    const uint8_t ac_values[] = {0x00, 0x01, 0xF0, 0xE1};
    EXPECT_EQ(BuildHuffmanTable(dc_counts, dc_values, 0, 0, &dc), 0);
    EXPECT_EQ(BuildHuffmanTable(ac_counts, ac_values, 1, 0, &ac), 0);
  }
  int32_t Block(int32_t* pred) { return DecodeBlockPlain(&stream, &dc, &ac, pred, block); }
  std::vector<uint8_t> bytes;
  JpegInputStream stream{};
  JpegHuffmanDecodeTable dc{}, ac{};
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
  Decoder d({0x12, 0xFF, 0xD1, 0x34});
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

TEST(DecodeBlock, TheRoutineTableCarriesThePlainDecoders) {
  RoutineTable table{};
  SetUpRoutineTable(&table);
  EXPECT_EQ(table.DecodeBlock, &DecodeBlockPlain);
  EXPECT_EQ(table.DecodeBlockDcOnly, &DecodeBlockDcOnlyPlain);
  ReleaseRoutineTable(&table);
}

}  // namespace
