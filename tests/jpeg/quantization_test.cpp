// Quantisation-table preparation and the shared zigzag and AAN tables.
#include "jpeg/quantization.h"

#include <gtest/gtest.h>

#include "jpeg/huffman_table.h"

namespace {

using namespace jpeg;

TEST(NaturalOrder, FollowsTheZigzagAndEndsInSixteenSixtyThrees) {
  EXPECT_EQ(kNaturalOrder[2], 8);
  EXPECT_EQ(kNaturalOrder[5], 2);
  EXPECT_EQ(kNaturalOrder[63], 63);
  for (int i = 64; i < 80; ++i) EXPECT_EQ(kNaturalOrder[i], 63);
}

TEST(AanScale, TellingEntries) {
  EXPECT_DOUBLE_EQ(kAanScale[0], 0.125);
  EXPECT_NEAR(kAanScale[1], 0.17338, 1e-5);
  EXPECT_NEAR(kAanScale[4], 0.240485, 1e-6);  // zigzag 4 = (1, 1)
  EXPECT_NEAR(kAanScale[63], 0.009515, 1e-6);
}

TEST(PrepareQuantTable, PreciseReordersAndZeroesTheTail) {
  int16_t table[80];
  for (int i = 0; i < 80; ++i) table[i] = static_cast<int16_t>(i + 1);
  PrepareQuantTablePrecise(table);
  EXPECT_EQ(table[0], 1);
  EXPECT_EQ(table[8], 3);  // natural 8 came from zigzag 2
  EXPECT_EQ(table[63], 64);
  for (int i = 64; i < 80; ++i) EXPECT_EQ(table[i], 0);
}

TEST(PrepareQuantTable, FastPrescalesByTheAanFactors) {
  int16_t table[80] = {};
  table[0] = 16;
  table[4] = 10;  // natural (1, 1)
  PrepareQuantTableFast(table);
  EXPECT_EQ(table[0], 4096);
  EXPECT_EQ(table[9], 4925);
}

TEST(BuildHuffmanTable, RefusesMoreThan256CodesAndOverSubscription) {
  JpegHuffmanDecodeTable table{};
  uint8_t values[300] = {};
  uint8_t counts[16] = {};
  counts[15] = 255;
  counts[14] = 2;
  EXPECT_EQ(BuildHuffmanTable(counts, values, 0, 0, &table), JPEG_ERR_BAD_HUFFMAN);
  uint8_t over[16] = {0, 5};  // five 2-bit codes
  EXPECT_EQ(BuildHuffmanTable(over, values, 0, 0, &table), JPEG_ERR_BAD_HUFFMAN);
  uint8_t full[16] = {0, 4};  // exactly four 2-bit codes fit
  EXPECT_EQ(BuildHuffmanTable(full, values, 0, 0, &table), 0);
}

TEST(BuildHuffmanTable, SixteenBitCodesAboveTheSignedRangeDecode) {
  // One code of each length 1..15 and two of length 16: the last codes are 0xFFFE/0xFFFF.
  uint8_t counts[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2};
  uint8_t values[17];
  for (int i = 0; i < 17; ++i) values[i] = static_cast<uint8_t>(i);
  JpegHuffmanDecodeTable table{};
  ASSERT_EQ(BuildHuffmanTable(counts, values, 1, 0, &table), 0);
  EXPECT_EQ(table.maxcode[16], 0xFFFF);
  EXPECT_EQ(table.mincode[16], 0xFFFE);
  EXPECT_EQ(table.maxcode[17], -1);
  EXPECT_EQ(table.lookahead[0x00].length, 1);
  EXPECT_EQ(table.lookahead[0xFF].length, 0);  // longer than 8 bits
  EXPECT_EQ(table.lookahead[0x80].symbol, 1);
}

}  // namespace
