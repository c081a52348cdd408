// Progressive decoding: the block procedures on hand-made bits (T.81 G.1.2), and whole
// streams through the public interface. Streams transcoded losslessly from one baseline
// stream (progressive/make.sh) must decode to its exact pixels, also when cut after any
// scan; hand-made and hostile streams pin end-of-band runs and the limits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/jpeg_codec.h"
#include "jpeg/progressive_decode.h"
#include "jpeg/quantization.h"
#include "tests/jpeg/stream_builder.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus.h"
#include "tests/jpeg/support/corpus_test_env.h"

namespace {

using Bytes = std::vector<uint8_t>;
using setuvia::jpegtest::CodecImage;
using setuvia::jpegtest::ColorChoice;
using setuvia::jpegtest::DecodeWithCodec;

Bytes TestStream(const std::string& name) {
  return setuvia::jpegtest::ReadFileBytes(std::string(SETUVIA_SOURCE_DIR) +
                                          "/tests/jpeg/progressive/" + name);
}

Bytes Pixels(const CodecImage& image) {
  return Bytes(image.Pixels().begin(), image.Pixels().end());
}

// Memory input over hand-made entropy-coded bits.
struct BitSource {
  explicit BitSource(Bytes data) : bytes(std::move(data)) {
    jpeg::AttachMemoryInput(stream, bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
  }
  Bytes bytes;
  JpegInputStream stream{};
};

JpegHuffmanDecodeTable Table(int32_t table_class, Bytes counts, const Bytes& symbols) {
  counts.resize(16);
  JpegHuffmanDecodeTable table{};
  EXPECT_EQ(jpeg::BuildHuffmanTable(counts.data(), symbols.data(), table_class, 0, &table), 0);
  return table;
}

jpeg::HuffmanLookup Lookup(const JpegHuffmanDecodeTable& table) {
  jpeg::HuffmanLookup lookup{};
  jpeg::BuildHuffmanLookup(table, &lookup);
  return lookup;
}

// DC codes 00 -> category 0, 01 -> category 3.
TEST(ProgressiveBlocks, DcFirstScalesThePredictionByAlAndARefineBitSetsBitAl) {
  const jpeg::HuffmanLookup dc = Lookup(Table(0, {0, 2}, {0x00, 0x03}));
  int16_t a[64] = {}, b[64] = {};
  int32_t pred = 0;
  BitSource first({0x61});  // 01 100 (diff +4), 00 (diff 0), padding
  EXPECT_EQ(jpeg::DecodeDcFirst(first.stream, dc, a, &pred, 1), 0);
  EXPECT_EQ(jpeg::DecodeDcFirst(first.stream, dc, b, &pred, 1), 0);
  EXPECT_EQ(a[0], 8);
  EXPECT_EQ(b[0], 8);
  BitSource refine({0xBF});  // 1, 0, padding
  EXPECT_EQ(jpeg::DecodeDcRefine(refine.stream, a, 0), 0);
  EXPECT_EQ(jpeg::DecodeDcRefine(refine.stream, b, 0), 0);
  EXPECT_EQ(a[0], 9);
  EXPECT_EQ(b[0], 8);
}

// Blocks in natural order, Zz(k) the coefficient at zigzag position k. AC codes 00 -> (0, 1), 01 ->
// end of block, 10 -> (2, 1), 110 -> run of 2^2 blocks.
TEST(ProgressiveBlocks, AcFirstAtAlOneThenARefineAtZeroPlacesAndCorrectsCoefficients) {
  const jpeg::HuffmanLookup ac = Lookup(Table(1, {0, 3, 1}, {0x01, 0x00, 0x21, 0x20}));
  int16_t block[64] = {};
  const auto Zz = [&block](int32_t k) { return block[jpeg::kNaturalOrder[k]]; };
  BitSource first({0x31});  // 00 1 (+1 at k=1), 10 0 (-1 at k=4), 01
  EXPECT_EQ(jpeg::DecodeAcFirst(first.stream, ac, block, 1, 63, 1), 0);
  EXPECT_EQ(Zz(1), 2);
  EXPECT_EQ(Zz(4), -2);
  // 00 1: a new +1 after one zero, passing k=1 whose correction bit is 0; 01: end of band,
  // and the correction bit 1 for k=4 moves it away from zero.
  BitSource refine({0x27});
  EXPECT_EQ(jpeg::DecodeAcRefine(refine.stream, ac.table, block, 1, 63, 0), 0);
  EXPECT_EQ(Zz(1), 2);
  EXPECT_EQ(Zz(2), 1);
  EXPECT_EQ(Zz(4), -3);
  EXPECT_EQ(refine.stream.eob_run, 0);
}

// T.81 G.1.2.3 coefficient by coefficient, on plain bits (no 0xFF in the data), on blocks in
// natural order; codes are the five bits that index `symbols`.
struct ReferenceRefiner {
  const Bytes& data;
  const Bytes& symbols;
  size_t at = 0;  // bits taken
  int32_t eob_run = 0;

  uint32_t Bits(int32_t n) {
    uint32_t v = 0;
    for (int32_t i = 0; i < n; ++i, ++at)
      v = v << 1 | (at / 8 < data.size() ? data[at / 8] >> (7 - at % 8) & 1 : 0);
    return v;
  }
  void Correct(int16_t& c, int32_t p1) {
    if (Bits(1) != 0 && (c & p1) == 0) c = static_cast<int16_t>(c >= 0 ? c + p1 : c - p1);
  }
  void Block(int16_t* natural, int32_t ss, int32_t se, int32_t al) {
    int16_t block[64];  // in zigzag order
    for (int32_t k = 0; k < 64; ++k) block[k] = natural[jpeg::kNaturalOrder[k]];
    Zigzag(block, ss, se, al);
    for (int32_t k = 0; k < 64; ++k) natural[jpeg::kNaturalOrder[k]] = block[k];
  }
  void Zigzag(int16_t* block, int32_t ss, int32_t se, int32_t al) {
    const int32_t p1 = 1 << al;
    int32_t k = ss;
    for (; eob_run == 0 && k <= se; ++k) {
      const int32_t symbol = symbols[Bits(5)];
      int32_t run = symbol >> 4, value = 0;
      if ((symbol & 0x0F) != 0) {
        value = Bits(1) != 0 ? p1 : -p1;
      } else if (run != 15) {
        eob_run = (1 << run) + static_cast<int32_t>(Bits(run));
        break;
      }
      for (; k <= se; ++k) {
        if (block[k] != 0)
          Correct(block[k], p1);
        else if (run-- == 0)
          break;
      }
      if (value != 0 && k <= se) block[k] = static_cast<int16_t>(value);
    }
    if (eob_run == 0) return;
    for (; k <= se; ++k)
      if (block[k] != 0) Correct(block[k], p1);
    --eob_run;
  }
};

TEST(ProgressiveBlocks, AcRefineMatchesACoefficientByCoefficientReference) {
  Bytes symbols;  // every (run, size) a refinement codes, 32 codes of five bits
  for (int32_t run = 0; run < 16; ++run)
    symbols.insert(symbols.end(), {uint8_t(run << 4), uint8_t(run << 4 | 1)});
  Bytes counts(16);
  counts[4] = 32;
  const JpegHuffmanDecodeTable ac = Table(1, counts, symbols);
  uint32_t seed = 12345;
  const auto random = [&seed](uint32_t n) {
    seed = seed * 1103515245 + 12345;
    return (seed >> 8) % n;
  };
  for (int trial = 0; trial < 500; ++trial) {
    const int32_t ss = 1 + random(63), se = ss + random(64 - ss), al = random(4);
    Bytes data(48);
    for (uint8_t& byte : data) byte = static_cast<uint8_t>(random(255));
    int16_t blocks[3][64] = {}, expected[3][64];
    for (auto& block : blocks)
      for (int16_t& c : block)
        if (random(3) == 0)
          c = static_cast<int16_t>((static_cast<int32_t>(random(9)) - 4) * (2 << al));
    std::memcpy(expected, blocks, sizeof blocks);
    ReferenceRefiner reference{data, symbols};
    BitSource source(data);
    for (int b = 0; b < 3; ++b) {
      reference.Block(expected[b], ss, se, al);
      ASSERT_EQ(jpeg::DecodeAcRefine(source.stream, ac, blocks[b], ss, se, al), 0);
      ASSERT_EQ(std::memcmp(blocks[b], expected[b], sizeof blocks[b]), 0)
          << "trial " << trial << " block " << b << " band " << ss << ".." << se << " Al " << al;
      ASSERT_EQ(source.stream.eob_run, reference.eob_run) << "trial " << trial;
    }
  }
}

TEST(ProgressiveBlocks, AnEndOfBandRunLeavesTheBlocksItSpansUntouched) {
  const jpeg::HuffmanLookup ac = Lookup(Table(1, {0, 3, 1}, {0x01, 0x00, 0x21, 0x20}));
  BitSource run({0xDF});  // 110 11: a run of 4 + 3 blocks
  int16_t blocks[7][64] = {};
  for (auto& block : blocks) EXPECT_EQ(jpeg::DecodeAcFirst(run.stream, ac, block, 1, 63, 0), 0);
  EXPECT_EQ(run.stream.eob_run, 0);
  for (auto& block : blocks)
    for (int16_t c : block) EXPECT_EQ(c, 0);
}

// A grey 16x8 stream: a DC first scan at Al = 1 (all zero), an AC scan that is one end-of-
// band run of 16384 blocks for an image of 2, then a DC refinement setting bit 0 in both.
Bytes LongRunStream() {
  jpeg_test::StreamBuilder s;
  s.Soi().QuantTable(0, 16).Frame(0xC2, 16, 8, {{1, 0x11, 0}});
  s.Segment(0xC4, jpeg_test::HuffmanPayload(0x00, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                            {0x00}));
  s.Segment(0xC4, jpeg_test::HuffmanPayload(0x10, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                            {0xE0}));
  s.Segment(0xDA, {1, 1, 0x00, 0, 0, 0x01}).Raw({0x3F});
  s.Segment(0xDA, {1, 1, 0x00, 1, 63, 0x00}).Raw({0x00, 0x01});
  s.Segment(0xDA, {1, 1, 0x00, 0, 0, 0x10}).Raw({0xFF, 0x00});
  return s.Eoi().bytes();
}

TEST(ProgressiveStreams, ARunLongerThanItsScanEndsWithTheScan) {
  const CodecImage image = DecodeWithCodec(LongRunStream(), ColorChoice::kAsProgram);
  ASSERT_TRUE(image.Decoded()) << image.run.image_status;
  EXPECT_TRUE(image.GuardsIntact());
  for (uint8_t value : image.Pixels()) ASSERT_EQ(value, 130);  // DC 1 x 16 / 8 + 128
}

TEST(ProgressiveStreams, TranscodedStreamsDecodeToTheBaselinePixels) {
  const CodecImage baseline = DecodeWithCodec(TestStream("baseline.jpg"), ColorChoice::kAsProgram);
  ASSERT_TRUE(baseline.Decoded());
  for (const char* name : {"successive.jpg", "spectral.jpg", "restarts.jpg"}) {
    const CodecImage image = DecodeWithCodec(TestStream(name), ColorChoice::kAsProgram);
    EXPECT_TRUE(image.Decoded()) << name << " " << image.run.image_status;
    EXPECT_TRUE(image.GuardsIntact()) << name;
    EXPECT_EQ(Pixels(image), Pixels(baseline)) << name;
  }
}

// Cut before each SOS after the first (and before EOI), the stream reports the missing end
// as a truncated sequential stream does, and shows what its scans hold: the pixels of the
// same scans closed by EOI.
TEST(ProgressiveStreams, AStreamCutAfterAnyScanShowsItsScansAndReportsTheMissingEnd) {
  const Bytes jpeg = TestStream("successive.jpg");
  ASSERT_FALSE(jpeg.empty());
  const CodecImage whole = DecodeWithCodec(jpeg, ColorChoice::kAsProgram);
  int cuts = 0;
  for (size_t at = 3; at + 1 < jpeg.size(); ++at) {
    const bool scan_ends = jpeg[at - 1] == 0xFF && (jpeg[at] == 0xDA || jpeg[at] == 0xD9);
    if (!scan_ends || ++cuts == 1) continue;  // the first SOS has no scan before it
    Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<long>(at - 1));
    const CodecImage open = DecodeWithCodec(cut, ColorChoice::kAsProgram);
    cut.insert(cut.end(), {0xFF, 0xD9});
    const CodecImage closed = DecodeWithCodec(cut, ColorChoice::kAsProgram);
    EXPECT_EQ(open.run.image_status, JPEG_ERR_MEMORY) << "cut at " << at;
    EXPECT_TRUE(closed.Decoded()) << "cut at " << at;
    EXPECT_TRUE(open.GuardsIntact());
    EXPECT_EQ(Pixels(open), Pixels(closed)) << "cut at " << at;
    if (jpeg[at] == 0xD9) {
      EXPECT_EQ(Pixels(closed), Pixels(whole));
    }
  }
  EXPECT_EQ(cuts, 10);  // before each of the last nine scans, and before EOI
}

// One record, read as the page loader reads, for several images in turn.
class Record {
 public:
  Record() { EXPECT_EQ(JpegInit(&p_), 0); }
  ~Record() { JpegFree(&p_); }
  // Parameters then image read into a BGR buffer of width x height (0: the frame's size).
  int32_t Read(const Bytes& jpeg, uint32_t width = 0, uint32_t height = 0) {
    p_.jpeg_buffer = jpeg.data();
    p_.jpeg_buffer_size = static_cast<uint32_t>(jpeg.size());
    const int32_t params = JpegRead(&p_, READ_PARAMS_BUFFER);
    if (params != 0) return params;
    width = width ? width : p_.jpeg_width;
    height = height ? height : p_.jpeg_height;
    const size_t stride = (width * 3 + 3) / 4 * 4;
    pixels_.assign(stride * height, 0);
    p_.dib_pixels = pixels_.data();
    p_.dib_width = width;
    p_.dib_height = -static_cast<int32_t>(height);
    p_.dib_pad_bytes = static_cast<uint32_t>(stride - width * 3);
    p_.dib_channels = 3;
    p_.dib_color = COLOR_BGR;
    p_.jpeg_color = p_.jpeg_channels == 1 ? COLOR_GRAY : COLOR_YCBCR;
    return JpegRead(&p_, READ_IMAGE_BUFFER);
  }
  const Bytes& pixels() const { return pixels_; }

 private:
  JPEG_PROPERTIES p_{};
  Bytes pixels_;
};

TEST(ProgressiveStreams, EachImageOnOneRecordDecodesAsOnAFreshRecord) {
  const Bytes streams[] = {TestStream("successive.jpg"), TestStream("gray.jpg"),
                           TestStream("restarts.jpg")};
  Record shared;
  for (const Bytes& jpeg : streams) {
    Record fresh;
    ASSERT_EQ(fresh.Read(jpeg), 0);
    ASSERT_EQ(shared.Read(jpeg), 0);
    EXPECT_EQ(shared.pixels(), fresh.pixels());
  }
}

// Hostile files end at once with a status: a frame larger than its data could code, and
// streams of more scans than the codec decodes.
TEST(ProgressiveStreams, HostileStreamsAreRefusedBeforeCostingTimeOrMemory) {
  const struct {
    const char* name;
    int32_t status;
  } cases[] = {{"progbomb_16000x16000.jpg", JPEG_ERR_DATA},
               {"progbomb_65500x65500.jpg", JPEG_ERR_DATA},
               {"scans_1000_1024.jpg", JPEG_ERR_NOT_SUPPORTED},
               {"scans_100000_1024.jpg", JPEG_ERR_NOT_SUPPORTED}};
  for (const auto& c : cases) {
    const auto path = setuvia::jpegtest::SharedDir() / "hostile" / c.name;
    const Bytes jpeg = setuvia::jpegtest::ReadFileBytes(path);
    SETUVIA_NEED_SHARED_DATA(!jpeg.empty(), "hostile file " << path);
    Record r;
    EXPECT_EQ(r.Read(jpeg, 64, 64), c.status) << c.name;
  }
}

TEST(ProgressiveStreams, ScansOutsideTheProgressionRulesAreDataErrors) {
  const Bytes scans[] = {
      {1, 1, 0x00, 2, 1, 0x00},           // Ss > Se
      {1, 1, 0x00, 0, 5, 0x00},           // DC and AC in one scan
      {2, 1, 0x00, 2, 0x00, 1, 5, 0x00},  // AC scan of two components
      {1, 1, 0x00, 0, 0, 0x0E},           // Al beyond the coefficients' bits
  };
  for (const Bytes& sos : scans) {
    jpeg_test::StreamBuilder s;
    s.Soi().QuantTable(0, 1).Frame(0xC2, 8, 8, {{1, 0x11, 0}, {2, 0x11, 0}, {3, 0x11, 0}});
    s.Segment(0xDA, sos).Raw({0}).Eoi();
    Record r;
    EXPECT_EQ(r.Read(s.bytes()), JPEG_ERR_DATA);
  }
}

}  // namespace
