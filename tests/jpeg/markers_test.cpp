// Marker handlers, driven through parameter and tables-only reads of small byte
// strings: one case per refused segment, and the edge cases that catch real faults.
#include "jpeg/markers.h"

#include <gtest/gtest.h>

#include <cstring>

#include "jpeg/jpeg_codec.h"
#include "stream_builder.h"

namespace {

using jpeg_test::Bytes;
using jpeg_test::HuffmanPayload;
using jpeg_test::StreamBuilder;

class MarkerRead : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&p_, 0, sizeof p_);
    ASSERT_EQ(JpegInit(&p_), 0);
  }
  void TearDown() override { EXPECT_EQ(JpegFree(&p_), 0); }
  int32_t Read(const StreamBuilder& stream, int32_t mode = READ_PARAMS_BUFFER) {
    bytes_ = stream.bytes();
    p_.jpeg_buffer = bytes_.data();
    p_.jpeg_buffer_size = static_cast<uint32_t>(bytes_.size());
    return JpegRead(&p_, mode);
  }
  StreamBuilder Start() {
    StreamBuilder s;
    s.Soi();
    return s;
  }
  JPEG_PROPERTIES p_;
  Bytes bytes_;
};

TEST_F(MarkerRead, ParametersOfABaselineFrameAreReportedAtTheScan) {
  EXPECT_EQ(Read(Start().Jfif().Frame420(300, 200).Scan({1, 2, 3})), 0);
  EXPECT_EQ(p_.jpeg_width, 300u);
  EXPECT_EQ(p_.jpeg_height, 200u);
  EXPECT_EQ(p_.jpeg_channels, 3u);
  EXPECT_EQ(p_.jpeg_color, static_cast<uint32_t>(COLOR_YCBCR));
  EXPECT_EQ(p_.jpeg_subsampling, static_cast<uint32_t>(SUBSAMPLING_H2V2));
  EXPECT_EQ(p_.state.frame.mcus_per_row, 19);  // 300 / 16 rounded up
  EXPECT_EQ(p_.state.frame.mcu_total, 19 * 13);
}

TEST_F(MarkerRead, FirstMarkerOtherThanSoiIsNotJpeg) {
  StreamBuilder s;
  s.Jfif().Frame420(8, 8);
  EXPECT_EQ(Read(s), JPEG_ERR_NOT_JPEG);
  EXPECT_EQ(Read(StreamBuilder().Raw({0x12, 0x34})), JPEG_ERR_NOT_JPEG);
}

TEST_F(MarkerRead, SegmentLengthBelowTwoIsDataError) {
  for (uint8_t code : {0xC0, 0xDD, 0xDB, 0xC4, 0xEE, 0xFE, 0xE5}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(Read(Start().SegmentWithLength(code, 1, {0, 0, 0, 0})), JPEG_ERR_DATA);
  }
  EXPECT_EQ(Read(Start().Frame420(8, 8).SegmentWithLength(0xDA, 1, {0, 0})), JPEG_ERR_DATA);
}

TEST_F(MarkerRead, SegmentRunningPastTheEndIsDataError) {
  EXPECT_EQ(Read(Start().SegmentWithLength(0xE5, 40, {1, 2, 3})), JPEG_ERR_DATA);
  EXPECT_EQ(Read(Start().SegmentWithLength(0xDB, 67, {0, 1, 2})), JPEG_ERR_DATA);
}

TEST_F(MarkerRead, FrameWithOtherPrecisionIsUnsupported) {
  EXPECT_EQ(Read(Start().Segment(0xC0, {12, 0, 8, 0, 8, 1, 1, 0x11, 0})),
            JPEG_ERR_UNSUPPORTED_FRAME);
}

TEST_F(MarkerRead, FrameWithHeightZeroIsDnlError) {
  EXPECT_EQ(Read(Start().Frame(0xC0, 8, 0, {{1, 0x11, 0}})), JPEG_ERR_DNL);
}

TEST_F(MarkerRead, FrameComponentCountOutsideOneToFourIsRefused) {
  EXPECT_EQ(Read(Start().Frame(0xC0, 8, 8, {})), JPEG_ERR_COMP);
  EXPECT_EQ(
      Read(Start().Frame(0xC0, 8, 8,
                         {{1, 0x11, 0}, {2, 0x11, 0}, {3, 0x11, 0}, {4, 0x11, 0}, {5, 0x11, 0}})),
      JPEG_ERR_COMP);
  EXPECT_EQ(p_.state.frame.component_count, 0);  // nothing was installed
}

TEST_F(MarkerRead, SamplingFactorsOutsideOneToFourAreRefused) {
  EXPECT_EQ(Read(Start().Frame(0xC0, 8, 8, {{1, 0x00, 0}})), JPEG_ERR_SOF);
  EXPECT_EQ(Read(Start().Frame(0xC0, 8, 8, {{1, 0x51, 0}})), JPEG_ERR_SOF);
  EXPECT_EQ(Read(Start().Frame(0xC0, 8, 8, {{1, 0x15, 0}})), JPEG_ERR_SOF);
  EXPECT_EQ(Read(Start().Frame(0xC0, 8, 8, {{1, 0x44, 0}}).Scan({1})), 0);
}

TEST_F(MarkerRead, FrameShorterThanItsComponentsIsDataError) {
  EXPECT_EQ(Read(Start().Segment(0xC0, {8, 0, 8, 0, 8, 3, 1, 0x22, 0})), JPEG_ERR_DATA);
}

TEST_F(MarkerRead, RefusedProcessesEndTheRead) {
  for (uint8_t code : {0xC3, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(Read(Start().Frame(code, 8, 8, {{1, 0x11, 0}})), JPEG_ERR_UNSUPPORTED_FRAME);
  }
}

TEST_F(MarkerRead, SecondBaselineFrameReplacesTheFirst) {
  EXPECT_EQ(Read(Start().Frame420(16, 16).Frame(0xC0, 40, 24, {{1, 0x11, 0}}).Scan({1})), 0);
  EXPECT_EQ(p_.jpeg_width, 40u);
  EXPECT_EQ(p_.jpeg_channels, 1u);
}

TEST_F(MarkerRead, LaterProgressiveFrameIsIgnored) {
  EXPECT_EQ(Read(Start().Frame420(16, 16).Frame(0xC2, 40, 24, {{1, 0x11, 0}}).Scan({1})), 0);
  EXPECT_EQ(p_.jpeg_width, 16u);
  EXPECT_EQ(p_.jpeg_channels, 3u);
}

TEST_F(MarkerRead, ExtendedAndProgressiveFramesAreAcceptedFirst) {
  EXPECT_EQ(Read(Start().Frame(0xC1, 24, 8, {{1, 0x11, 0}}).Scan({1})), 0);
  EXPECT_EQ(p_.jpeg_width, 24u);
  EXPECT_EQ(Read(Start().Frame(0xC2, 32, 8, {{1, 0x11, 0}}).Scan({1})), 0);
  EXPECT_EQ(p_.jpeg_width, 32u);
}

TEST_F(MarkerRead, ScanBeforeFrameIsNoFrame) {
  EXPECT_EQ(Read(Start().Scan({1})), JPEG_ERR_NO_FRAME);
}

TEST_F(MarkerRead, ScanChecksItsSelectorsAndComponents) {
  auto frame = [&] { return Start().Frame420(16, 16); };
  EXPECT_EQ(Read(frame().Segment(0xDA, {1, 1, 0x40, 0, 63, 0})), JPEG_ERR_DATA);  // Td 4
  EXPECT_EQ(Read(frame().Segment(0xDA, {1, 1, 0x04, 0, 63, 0})), JPEG_ERR_DATA);  // Ta 4
  EXPECT_EQ(Read(frame().Scan({9})), JPEG_ERR_DATA);                              // unknown id
  EXPECT_EQ(Read(Start().Frame(0xC0, 8, 8, {{1, 0x11, 4}}).Scan({1})), JPEG_ERR_DATA);  // Tq 4
  EXPECT_EQ(Read(frame().Segment(0xDA, {3, 1, 0, 2, 0})), JPEG_ERR_DATA);  // runs past payload
}

TEST_F(MarkerRead, ScanComponentCountOutsideOneToFourIsRefused) {
  EXPECT_EQ(Read(Start().Frame420(16, 16).Segment(0xDA, {0, 0, 63, 0})), JPEG_ERR_COMP);
  EXPECT_EQ(Read(Start().Frame420(16, 16).Scan({1, 2, 3, 1, 2})), JPEG_ERR_COMP);
}

TEST_F(MarkerRead, RestartIntervalIsTakenAndClearedBySoi) {
  EXPECT_EQ(Read(Start().Segment(0xDD, {0, 5, 9}).Frame420(16, 16).Scan({1, 2, 3})), 0);
  EXPECT_EQ(p_.state.frame.restart_interval, 5u);
  EXPECT_EQ(Read(Start().Segment(0xDD, {0})), JPEG_ERR_DATA);
}

TEST_F(MarkerRead, QuantTableOf516BytesIsAcceptedAnd517Refused) {
  Bytes four;
  for (uint8_t tq = 0; tq < 4; ++tq) {
    four.push_back(0x10 | tq);
    for (int i = 0; i < 64; ++i) four.insert(four.end(), {0x01, static_cast<uint8_t>(i + 1)});
  }
  ASSERT_EQ(four.size(), 516u);
  EXPECT_EQ(Read(Start().Segment(0xDB, four).Eoi(), READ_TABLES_BUFFER), 0);
  EXPECT_EQ(p_.state.quant_tables[3].precision, 1);
  EXPECT_EQ(p_.state.quant_tables[3].values[0], 0x0101);
  EXPECT_EQ(p_.state.quant_tables[3].values[1], 0x0102);  // natural 1 = zigzag 1
  EXPECT_EQ(p_.state.quant_tables[3].values[8], 0x0103);  // natural 8 = zigzag 2
  Bytes too_long = four;
  too_long.push_back(0);
  EXPECT_EQ(Read(Start().Segment(0xDB, too_long).Eoi(), READ_TABLES_BUFFER), JPEG_ERR_DATA);
}

TEST_F(MarkerRead, QuantTableIdentifierAboveThreeIsRefused) {
  Bytes p = {0x04};
  p.insert(p.end(), 64, 1);
  EXPECT_EQ(Read(Start().Segment(0xDB, p)), JPEG_ERR_BAD_QUANT);
}

TEST_F(MarkerRead, TruncatedSecondQuantTableLeavesTheFirstUnwritten) {
  Bytes p = {0x00};
  p.insert(p.end(), 64, 7);
  p.insert(p.end(), {0x01, 1, 2, 3});
  EXPECT_EQ(Read(Start().Segment(0xDB, p)), JPEG_ERR_DATA);
  EXPECT_EQ(p_.state.quant_tables[0].values[0], 0);
  EXPECT_EQ(p_.state.quant_table_count, 0);
}

TEST_F(MarkerRead, QuantTableIsExportedRaw) {
  uint8_t exported[64] = {};
  p_.state.quant_export[2] = exported;
  Bytes p = {0x02};
  for (int i = 0; i < 64; ++i) p.push_back(static_cast<uint8_t>(i));
  EXPECT_EQ(Read(Start().Segment(0xDB, p).Eoi(), READ_TABLES_BUFFER), 0);
  EXPECT_EQ(exported[63], 63);
  EXPECT_EQ(p_.state.quant_export_id[2], 2);
}

TEST_F(MarkerRead, HuffmanClassOrIdentifierOutOfRangeIsRefused) {
  const Bytes counts = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Read(Start().Segment(0xC4, HuffmanPayload(0x20, counts, {5}))), JPEG_ERR_BAD_HUFFMAN);
  EXPECT_EQ(Read(Start().Segment(0xC4, HuffmanPayload(0x04, counts, {5}))), JPEG_ERR_BAD_HUFFMAN);
}

TEST_F(MarkerRead, HuffmanValuesPastThePayloadAreDataError) {
  const Bytes counts = {0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Read(Start().Segment(0xC4, HuffmanPayload(0x00, counts, {1, 2}))), JPEG_ERR_DATA);
  EXPECT_EQ(Read(Start().Segment(0xC4, {0x00, 0, 1})), JPEG_ERR_DATA);  // counts cut short
}

TEST_F(MarkerRead, OverSubscribedHuffmanCountsAreRefused) {
  const Bytes counts = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // 3 one-bit codes
  EXPECT_EQ(Read(Start().Segment(0xC4, HuffmanPayload(0x10, counts, {1, 2, 3}))),
            JPEG_ERR_BAD_HUFFMAN);
  EXPECT_EQ(p_.state.ac_table_count, 0);
}

TEST_F(MarkerRead, HuffmanPayloadOf1092BytesIsRefused) {
  Bytes p(1092, 0);
  EXPECT_EQ(Read(Start().Segment(0xC4, p)), JPEG_ERR_DATA);
}

TEST_F(MarkerRead, HuffmanTablesGoToTheirSlotsAndExport) {
  uint8_t counts_out[16] = {}, values_out[256] = {};
  p_.state.huff_counts_export[5] = counts_out;  // AC slot 1
  p_.state.huff_values_export[5] = values_out;
  const Bytes counts = {0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Bytes p = HuffmanPayload(0x11, counts, {0x01, 0x00});
  const Bytes dc = HuffmanPayload(0x00, counts, {0x03, 0x04});
  p.insert(p.end(), dc.begin(), dc.end());
  EXPECT_EQ(Read(Start().Segment(0xC4, p).Eoi(), READ_TABLES_BUFFER), 0);
  EXPECT_EQ(p_.state.ac_tables[1].lookahead[0x40].symbol, 0x00);  // code 01
  EXPECT_EQ(p_.state.ac_tables[1].lookahead[0x40].length, 2);
  EXPECT_EQ(p_.state.dc_tables[0].lookahead[0x00].symbol, 0x03);
  EXPECT_EQ(values_out[0], 0x01);
  EXPECT_EQ(counts_out[1], 2);
  EXPECT_EQ(p_.state.huff_export_class[5], 1);
  EXPECT_EQ(p_.state.max_huff_index, 2);
}

TEST_F(MarkerRead, JfifThumbnailSizeIsReportedAndLaterApp0Ignored) {
  EXPECT_EQ(Read(Start().Jfif(4, 3).Frame420(16, 16).Jfif(9, 9).Scan({1, 2, 3})), 0);
  EXPECT_EQ(p_.thumb_width, 4u);
  EXPECT_EQ(p_.thumb_height, 3u);
  EXPECT_EQ(p_.state.jfif_x_density, 72);
}

TEST_F(MarkerRead, JfxxRgbThumbnailSizeIsReported) {
  EXPECT_EQ(Read(Start()
                     .Segment(0xE0, {'J', 'F', 'X', 'X', 0, 0x13, 5, 6, 0, 0, 0, 0, 0, 0})
                     .Frame420(16, 16)
                     .Scan({1, 2, 3})),
            0);
  EXPECT_EQ(p_.thumb_width, 5u);
  EXPECT_EQ(p_.thumb_height, 6u);
}

TEST_F(MarkerRead, ShortApp0IsLeftAlone) {
  EXPECT_EQ(Read(Start()
                     .Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1, 0, 1, 7})
                     .Frame420(16, 16)
                     .Scan({1, 2, 3})),
            0);
  EXPECT_EQ(p_.state.jfif_present, 0);
  EXPECT_EQ(p_.thumb_width, 0u);
}

TEST_F(MarkerRead, AdobeTransformDecidesTheColour) {
  EXPECT_EQ(Read(Start()
                     .Adobe(0)
                     .Frame(0xC0, 8, 8, {{1, 0x11, 0}, {2, 0x11, 0}, {3, 0x11, 0}, {4, 0x11, 0}})
                     .Scan({1, 2, 3, 4})),
            0);
  EXPECT_EQ(p_.jpeg_color, static_cast<uint32_t>(COLOR_RGBA));
  EXPECT_EQ(p_.dib_color, static_cast<uint32_t>(COLOR_RGBA));
  EXPECT_EQ(p_.dib_channels, 4u);
}

TEST_F(MarkerRead, AdobeAfterTheFrameStillCounts) {
  EXPECT_EQ(Read(Start().Frame420(16, 16).Adobe(0).Scan({1, 2, 3})), 0);
  EXPECT_EQ(p_.jpeg_color, static_cast<uint32_t>(COLOR_RGB));
}

TEST_F(MarkerRead, CommentExactlyFillingTheBufferSucceeds) {
  uint8_t comment[5] = {};
  p_.state.comment_buffer = comment;
  p_.state.comment_size = 5;
  EXPECT_EQ(Read(Start().Segment(0xFE, {'h', 'e', 'l', 'l', 'o'}).Frame420(8, 8).Scan({1})), 0);
  EXPECT_EQ(std::memcmp(comment, "hello", 5), 0);
  EXPECT_EQ(p_.state.comment_size, 5);
}

TEST_F(MarkerRead, CommentOneByteLongerIsTruncatedAndRefused) {
  uint8_t comment[6] = {};
  p_.state.comment_buffer = comment;
  p_.state.comment_size = 4;
  EXPECT_EQ(Read(Start().Segment(0xFE, {'h', 'e', 'l', 'l', 'o'})), JPEG_ERR_COMMENT_BUFFER);
  EXPECT_EQ(std::memcmp(comment, "hell\0", 5), 0);
  EXPECT_EQ(p_.state.comment_size, 5);
}

TEST_F(MarkerRead, ReportedCommentLengthIsNotTakenForTheCapacityOfTheNextRead) {
  uint8_t comment[8] = {};
  p_.state.comment_buffer = comment;
  p_.state.comment_size = 2;
  const Bytes text(200, 'x');
  EXPECT_EQ(Read(Start().Segment(0xFE, text)), JPEG_ERR_COMMENT_BUFFER);
  EXPECT_EQ(p_.state.comment_size, 200);
  EXPECT_EQ(Read(Start().Segment(0xFE, text)), JPEG_ERR_COMMENT_BUFFER);  // still 2 bytes
  EXPECT_EQ(comment[2], 0);
  p_.state.comment_size = 8;  // the caller sets a capacity again
  EXPECT_EQ(Read(Start().Segment(0xFE, {'a', 'b', 'c'}).Frame420(8, 8).Scan({1})), 0);
  EXPECT_EQ(p_.state.comment_size, 3);
}

TEST_F(MarkerRead, GarbageAndFillBytesBetweenSegmentsAreSkipped) {
  EXPECT_EQ(Read(Start()
                     .Raw({0x12, 0x00, 0xFF, 0x00, 0x34, 0xFF, 0xFF, 0xFF})
                     .Frame420(16, 16)
                     .Raw({0xAA})
                     .Scan({1, 2, 3})),
            0);
  EXPECT_EQ(p_.jpeg_width, 16u);
}

TEST_F(MarkerRead, StreamEndingInsideTheHeadersIsMemoryError) {
  EXPECT_EQ(Read(Start().Frame420(16, 16)), JPEG_ERR_MEMORY);
  EXPECT_EQ(Read(Start().Frame420(16, 16).Raw({0xFF})), JPEG_ERR_MEMORY);
}

TEST_F(MarkerRead, TablesReadStopsOnTheFrameAndTheNextReadStartsThere) {
  EXPECT_EQ(Read(Start().QuantTable(0, 3).Frame420(16, 16).Scan({1, 2, 3}), READ_TABLES_BUFFER), 0);
  EXPECT_EQ(p_.state.quant_tables[0].values[0], 3);
  EXPECT_EQ(p_.state.stream.origin + p_.state.stream.bytes_consumed, 2u + 69u);
}

TEST(MarkerParsers, ScanPayloadNamesFrameComponentsAndTables) {
  JpegFrameHeader frame{};
  const uint8_t sof[] = {8, 0, 16, 0, 16, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
  ASSERT_EQ(jpeg::ParseFramePayload(sof, sizeof sof, frame), 0);
  const uint8_t sos[] = {2, 3, 0x11, 2, 0x10, 1, 63, 0x12};
  JpegScanHeader scan{};
  uint8_t dc[4], ac[4];
  ASSERT_EQ(jpeg::ParseScanPayload(sos, sizeof sos, frame, scan, dc, ac), 0);
  EXPECT_EQ(scan.components[0].frame_index, 2);
  EXPECT_EQ(scan.components[0].quant_table, 1);
  EXPECT_EQ(scan.components[1].dc_table, 1);
  EXPECT_EQ(scan.components[1].ac_table, 0);
  EXPECT_EQ(scan.ss, 1);
  EXPECT_EQ(scan.se, 63);
  EXPECT_EQ(scan.ah, 1);
  EXPECT_EQ(scan.al, 2);
  EXPECT_EQ(dc[0], 1);
}

}  // namespace
