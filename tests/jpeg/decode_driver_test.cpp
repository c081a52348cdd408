// Whole-image reads through the public interface: where a read starts and ends, streams
// split into tables and entropy data, non-interleaved images, streams without EOI,
// buffers smaller than the frame, and the reads this codec refuses without writing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/stream_builder.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus_test_env.h"
#include "tests/jpeg/support/image_compare.h"
#include "tests/jpeg/support/peer_codec.h"
#include "tests/platform/temp_folder.h"

namespace {

using setuvia::jpegtest::DibLayout;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kUnwritten = 0x5A;

// One properties record, set up as the page loader does, with a guarded output buffer.
class Record {
 public:
  Record() {
    std::memset(&p_, 0, sizeof p_);
    EXPECT_EQ(JpegInit(&p_), 0);
  }
  ~Record() { JpegFree(&p_); }
  JPEG_PROPERTIES& p() { return p_; }

  void SetInput(const Bytes& jpeg) {
    p_.jpeg_buffer = jpeg.data();
    p_.jpeg_buffer_size = static_cast<uint32_t>(jpeg.size());
  }
  // A BGR bottom-up buffer of width x height, with rows padded to 4 bytes.
  void SetOutput(uint32_t width, uint32_t height) {
    layout_ = {width, height, 3};
    storage_.assign(layout_.BufferSize() + 2 * kGuard, kUnwritten);
    p_.dib_pixels = storage_.data() + kGuard;
    p_.dib_width = width;
    p_.dib_height = -static_cast<int32_t>(height);
    p_.dib_pad_bytes = static_cast<uint32_t>(layout_.PadBytes());
    p_.dib_channels = 3;
    p_.dib_color = COLOR_BGR;
  }
  Bytes Pixels() const { return Bytes(storage_.begin() + kGuard, storage_.end() - kGuard); }
  bool GuardsIntact() const {
    for (size_t i = 0; i < kGuard; ++i)
      if (storage_[i] != kUnwritten || storage_[storage_.size() - 1 - i] != kUnwritten)
        return false;
    return true;
  }
  bool NothingWritten() const {
    for (uint8_t byte : storage_)
      if (byte != kUnwritten) return false;
    return true;
  }

 private:
  static constexpr size_t kGuard = 64;
  JPEG_PROPERTIES p_;
  DibLayout layout_;
  Bytes storage_;
};

Bytes Encode420(uint32_t width, uint32_t height) {
  return setuvia::jpegtest::EncodeTestImage(width, height, setuvia::jpegtest::PeerSampling::k420,
                                            85);
}

// The pixels of a params read followed by an image read, as the page loader decodes.
Bytes DecodeAsPageLoader(const Bytes& jpeg) {
  Record r;
  r.SetInput(jpeg);
  EXPECT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
  r.SetOutput(r.p().jpeg_width, r.p().jpeg_height);
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  return r.Pixels();
}

// A segment walk over a well-formed stream up to its first SOS.
struct Segment {
  uint8_t code;
  size_t start, end;  // the marker's first byte, one past the segment
};
std::vector<Segment> HeaderSegments(const Bytes& jpeg) {
  std::vector<Segment> segments;
  size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    const uint8_t code = jpeg[at + 1];
    const size_t end = at + 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    segments.push_back({code, at, end});
    if (code == 0xDA) break;
    at = end;
  }
  return segments;
}
bool IsTableSegment(uint8_t code) {
  return code == 0xDB || code == 0xC4;
}

// A stream split into SOI+tables+EOI and the same stream without its tables.
struct SplitStream {
  Bytes tables;
  Bytes image;
};
SplitStream SplitTables(const Bytes& jpeg) {
  Bytes tables = {0xFF, 0xD8};
  Bytes image = {0xFF, 0xD8};
  size_t rest = 2;
  for (const Segment& s : HeaderSegments(jpeg)) {
    Bytes& into = IsTableSegment(s.code) ? tables : image;
    if (s.code == 0xDA) break;
    into.insert(into.end(), jpeg.begin() + static_cast<long>(s.start),
                jpeg.begin() + static_cast<long>(s.end));
    rest = s.end;
  }
  tables.insert(tables.end(), {0xFF, 0xD9});
  image.insert(image.end(), jpeg.begin() + static_cast<long>(rest), jpeg.end());
  return {tables, image};
}

TEST(WholeImageRead, AnImageReadAloneDecodesWhatParamsThenImageDecode) {
  const Bytes jpeg = Encode420(77, 45);
  Record r;
  r.SetInput(jpeg);
  r.SetOutput(77, 45);
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  EXPECT_EQ(r.Pixels(), DecodeAsPageLoader(jpeg));
  EXPECT_TRUE(r.GuardsIntact());
}

TEST(WholeImageRead, ASecondImageReadOnTheSameRecordDecodesTheSamePixels) {
  const Bytes jpeg = Encode420(40, 24);
  Record r;
  r.SetInput(jpeg);
  ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
  r.SetOutput(40, 24);
  ASSERT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  const Bytes first = r.Pixels();
  r.SetOutput(40, 24);
  ASSERT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  EXPECT_EQ(r.Pixels(), first);
}

TEST(WholeImageRead, AFileReadDecodesWhatAMemoryReadDecodes) {
  const Bytes jpeg = Encode420(50, 30);
  const TempFolder folder;
  const std::string name =
      folder.Write("page.jpg", {reinterpret_cast<const char*>(jpeg.data()), jpeg.size()});
  Record r;
  r.p().jpeg_file = name.c_str();
  ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_FILE), 0);
  r.SetOutput(50, 30);
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_FILE), 0);
  EXPECT_EQ(r.Pixels(), DecodeAsPageLoader(jpeg));
}

TEST(WholeImageRead, AStreamOfTablesAloneMayPrecedeTheImage) {
  const Bytes jpeg = Encode420(33, 17);
  const auto [tables, image] = SplitTables(jpeg);
  Bytes joined = tables;
  joined.insert(joined.end(), image.begin(), image.end());
  Record r;
  r.SetInput(joined);
  r.SetOutput(33, 17);
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  EXPECT_EQ(r.Pixels(), DecodeAsPageLoader(jpeg));
}

TEST(WholeImageRead, TablesReadThenEntropyReadDecodeAnAbbreviatedImage) {
  const Bytes jpeg = Encode420(64, 40);
  const auto [tables, image] = SplitTables(jpeg);
  Record r;
  r.SetInput(tables);
  ASSERT_EQ(JpegRead(&r.p(), READ_TABLES_BUFFER), 0);
  r.SetInput(image);
  r.SetOutput(64, 40);
  EXPECT_EQ(JpegRead(&r.p(), READ_ENTROPY_BUFFER), 0);
  EXPECT_EQ(r.Pixels(), DecodeAsPageLoader(jpeg));
}

TEST(WholeImageRead, EndOfImageWithoutAFrameIsNoImage) {
  const Bytes jpeg = Encode420(16, 16);
  const auto [tables, image] = SplitTables(jpeg);
  Record r;
  r.SetInput(tables);
  r.SetOutput(16, 16);
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), JPEG_ERR_NO_IMAGE);
  EXPECT_TRUE(r.NothingWritten());
}

TEST(WholeImageRead, AMemoryStreamWithoutEoiIsDecodedThenReportsTheMissingMarker) {
  const Bytes jpeg = Encode420(48, 32);
  ASSERT_EQ(jpeg[jpeg.size() - 2], 0xFF);
  const Bytes cut(jpeg.begin(), jpeg.end() - 2);
  Record r;
  r.SetInput(cut);
  r.SetOutput(48, 32);
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), JPEG_ERR_MEMORY);
  EXPECT_EQ(r.Pixels(), DecodeAsPageLoader(jpeg));
}

TEST(WholeImageRead, AFrameLargerThanTheBufferIsClippedToTheBuffer) {
  const Bytes jpeg = Encode420(61, 37);
  const Bytes full = DecodeAsPageLoader(jpeg);
  const DibLayout big{61, 37, 3}, small{20, 11, 3};
  Record r;
  r.SetInput(jpeg);
  r.SetOutput(small.width, small.height);
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  EXPECT_TRUE(r.GuardsIntact());
  const Bytes clipped = r.Pixels();
  // Image row y of the small buffer is buffer row (height - 1 - y), as in the big one.
  for (uint32_t y = 0; y < small.height; ++y) {
    const uint8_t* got = clipped.data() + (small.height - 1 - y) * small.Stride();
    const uint8_t* want = full.data() + (big.height - 1 - y) * big.Stride();
    ASSERT_EQ(0, std::memcmp(got, want, small.RowBytes())) << "row " << y;
    for (size_t pad = small.RowBytes(); pad < small.Stride(); ++pad)
      EXPECT_EQ(got[pad], kUnwritten);
  }
}

// Every sampling the dedicated, generic and gray paths take, at each reduced scale, against
// the peer's scaled decode; sizes that are no multiple of the MCU leave partial MCUs.
TEST(ReducedRead, EverySamplingMatchesThePeersScaledDecodeAndStaysInsideItsRows) {
  using setuvia::jpegtest::PeerSampling;
  for (const PeerSampling sampling :
       {PeerSampling::k444, PeerSampling::k422, PeerSampling::k420, PeerSampling::kGray}) {
    const Bytes jpeg = setuvia::jpegtest::EncodeTestImage(75, 43, sampling, 90);
    for (const auto& [scale, mode] :
         {std::pair{2, READ_HALF_BUFFER}, std::pair{4, READ_QUARTER_BUFFER},
          std::pair{8, READ_EIGHTH_BUFFER}}) {
      SCOPED_TRACE(testing::Message() << "sampling " << int(sampling) << " at 1/" << scale);
      const auto peer =
          setuvia::jpegtest::DecodeWithPeer(jpeg, setuvia::jpegtest::PeerFormat::kBgr, scale);
      ASSERT_TRUE(peer.decoded);
      Record r;
      r.SetInput(jpeg);
      ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
      r.SetOutput(peer.layout.width, peer.layout.height);
      ASSERT_EQ(JpegRead(&r.p(), mode), 0);
      EXPECT_TRUE(r.GuardsIntact());
      const Bytes ours = r.Pixels();
      const auto diff = setuvia::jpegtest::CompareDibs(ours, peer.pixels, peer.layout);
      EXPECT_LE(diff.max_abs, 2) << diff.Describe();  // measured: 2
      for (uint32_t y = 0; y < peer.layout.height; ++y)
        for (size_t pad = peer.layout.RowBytes(); pad < peer.layout.Stride(); ++pad)
          ASSERT_EQ(ours[y * peer.layout.Stride() + pad], kUnwritten);
    }
  }
}

// The one-pass YCbCr writers of reduced reads into three channels, RGB or BGR (whole 4:4:4 and
// 4:2:0 MCUs through a writer chosen per scan, which forms 1x1 samples from the DC itself
// under the precise method), give the bytes of the generic expansion and in-place
// conversion, which four-channel buffers take, and write nothing around the image.
TEST(ReducedRead, TheOnePassYccWritersEqualTheGenericExpansion) {
  using setuvia::jpegtest::PeerSampling;
  struct Output {
    uint32_t channels;
    int32_t color;
  };
  constexpr Output kOutputs[] = {{4, COLOR_RGBA}, {3, COLOR_RGB}, {3, COLOR_BGR}};
  constexpr size_t kGuard = 64;
  for (int32_t method : {DCT_METHOD_PRECISE, DCT_METHOD_FAST})
    for (PeerSampling sampling : {PeerSampling::k444, PeerSampling::k420, PeerSampling::k422})
      for (uint32_t scale : {2u, 4u, 8u}) {
        SCOPED_TRACE(testing::Message() << "method " << method << " sampling "
                                        << static_cast<int>(sampling) << " at 1/" << scale);
        const Bytes jpeg = setuvia::jpegtest::EncodeTestImage(77, 53, sampling, 90);
        const uint32_t w = JpegScaledExtent(77, scale), h = JpegScaledExtent(53, scale);
        Bytes pixels[3];
        for (int k = 0; k < 3; ++k) {
          Record r;
          r.SetInput(jpeg);
          ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
          Bytes storage(size_t{w} * h * kOutputs[k].channels + 2 * kGuard, kUnwritten);
          r.p().state.dct_method = method;
          r.p().dib_pixels = storage.data() + kGuard;
          r.p().dib_width = w;
          r.p().dib_height = static_cast<int32_t>(h);
          r.p().dib_channels = kOutputs[k].channels;
          r.p().dib_color = kOutputs[k].color;
          ASSERT_EQ(JpegRead(&r.p(), JpegScaledReadMode(scale)), 0);
          for (size_t i = 0; i < kGuard; ++i)
            ASSERT_TRUE(storage[i] == kUnwritten && storage[storage.size() - 1 - i] == kUnwritten);
          pixels[k].assign(storage.begin() + kGuard, storage.end() - kGuard);
        }
        for (size_t i = 0; i < size_t{w} * h; ++i) {
          const uint8_t* rgba = &pixels[0][i * 4];
          const uint8_t* bgr = &pixels[2][i * 3];
          ASSERT_EQ(0, std::memcmp(&pixels[1][i * 3], rgba, 3)) << "pixel " << i;
          ASSERT_TRUE(bgr[0] == rgba[2] && bgr[1] == rgba[1] && bgr[2] == rgba[0])
              << "BGR pixel " << i;
        }
      }
}

// A buffer smaller than the reduced image takes its top-left part, byte for byte.
TEST(ReducedRead, ASmallerBufferIsClippedToTheTopLeftOfTheReducedImage) {
  const Bytes jpeg = Encode420(64, 48);
  Record whole, part;
  whole.SetInput(jpeg);
  whole.SetOutput(32, 24);
  ASSERT_EQ(JpegRead(&whole.p(), READ_HALF_BUFFER), 0);
  part.SetInput(jpeg);
  part.SetOutput(13, 7);
  ASSERT_EQ(JpegRead(&part.p(), READ_HALF_BUFFER), 0);
  EXPECT_TRUE(part.GuardsIntact());
  const DibLayout big{32, 24, 3}, small{13, 7, 3};
  for (uint32_t y = 0; y < small.height; ++y)
    EXPECT_EQ(0, std::memcmp(part.Pixels().data() + (small.height - 1 - y) * small.Stride(),
                             whole.Pixels().data() + (big.height - 1 - y) * big.Stride(),
                             small.RowBytes()))
        << "row " << y;
}

// A marker inside the data ends it: every block after it is all zero (mid-grey) at every
// scale, not the previous block's samples again (the DC-only decoding of 1/8 reads).
TEST(ReducedRead, BlocksAfterTheDataEndedAreMidGreyAtEveryScale) {
  Bytes jpeg =
      setuvia::jpegtest::EncodeTestImage(64, 64, setuvia::jpegtest::PeerSampling::kGray, 90);
  jpeg.resize(jpeg.size() / 2);  // well inside the scan's data
  jpeg.insert(jpeg.end(), {0xFF, 0xD9});
  for (uint32_t scale : {1u, 2u, 4u, 8u}) {
    const uint32_t side = 64 / scale;
    Record r;
    r.SetInput(jpeg);
    ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
    r.SetOutput(side, side);
    ASSERT_EQ(JpegRead(&r.p(), JpegScaledReadMode(scale)), 0) << scale;
    const Bytes pixels = r.Pixels();  // bottom-up: the image's last row comes first
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + side * 3), Bytes(side * 3, 128)) << scale;
  }
}

// Reads that come with later work are refused before a pixel is written.
TEST(WholeImageRead, SmoothReducedRegionOrInterruptedReadsAreNotSupported) {
  const Bytes jpeg = Encode420(32, 32);
  JpegRawCoefficients coefficients{};
  struct Case {
    const char* name;
    int32_t mode;
    void (*set_up)(JPEG_PROPERTIES&, JpegRawCoefficients*);
  };
  const Case cases[] = {
      {"smooth reduced", READ_HALF_BUFFER,
       [](JPEG_PROPERTIES& p, JpegRawCoefficients*) { p.state.smooth_upsampling = 1; }},
      {"smooth region", READ_IMAGE_BUFFER,
       [](JPEG_PROPERTIES& p, JpegRawCoefficients*) {
         p.state.smooth_upsampling = 1;
         p.state.roi_rect[1] = 8;
       }},
      {"smooth interrupted", READ_IMAGE_BUFFER,
       [](JPEG_PROPERTIES& p, JpegRawCoefficients*) {
         p.state.smooth_upsampling = 1;
         p.state.interrupt_flag = 1;
       }},
  };
  for (const Case& c : cases) {
    Record r;
    r.SetInput(jpeg);
    r.SetOutput(32, 32);
    c.set_up(r.p(), &coefficients);
    EXPECT_EQ(JpegRead(&r.p(), c.mode), JPEG_ERR_NOT_SUPPORTED) << c.name;
    EXPECT_TRUE(r.NothingWritten()) << c.name;
  }
}

TEST(WholeImageRead, AWholeImageRegionIsAnOrdinaryRead) {
  const Bytes jpeg = Encode420(32, 24);
  Record r;
  r.SetInput(jpeg);
  r.SetOutput(32, 24);
  r.p().state.roi_rect[2] = 32;
  r.p().state.roi_rect[3] = 24;
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  EXPECT_EQ(r.Pixels(), DecodeAsPageLoader(jpeg));
}

// A hand-made frame: its interleaved MCU would need 16 + 2 blocks.
TEST(WholeImageRead, AnMcuOfMoreThanTenBlocksIsRefusedBeforeDecoding) {
  jpeg_test::StreamBuilder s;
  s.Soi().QuantTable(0, 1);
  s.Frame(0xC0, 64, 64, {{1, 0x44, 0}, {2, 0x11, 0}, {3, 0x11, 0}}).Scan({1, 2, 3});
  s.Raw(Bytes(64, 0)).Eoi();
  const Bytes jpeg = s.bytes();
  Record r;
  r.SetInput(jpeg);
  r.SetOutput(64, 64);
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), JPEG_ERR_SUBSAMPLING);
  EXPECT_TRUE(r.NothingWritten());
}

// Hand-made images share two tiny Huffman tables in slot 0: DC codes '00' (category
// 0) and '01' (category 7), AC code '0' (end of block).
void TinyTables(jpeg_test::StreamBuilder& s) {
  s.Segment(0xC4, jpeg_test::HuffmanPayload(0x00, {0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                            {0, 7}));
  s.Segment(0xC4,
            jpeg_test::HuffmanPayload(0x10, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0}));
}

// Block k holds only a DC of 64 + 8k (samples 136 + k) after a predictor of 0: '01',
// the 7 value bits, '0' (end of block), six 1 bits of padding.
Bytes DcBlock(uint32_t k) {
  const uint32_t bits = (1u << 14) | ((64 + 8 * k) << 7) | 0x3F;
  return {static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits)};
}

// A grey 32 x 8 image of four MCUs, restart interval 1, MCU k being DcBlock(k);
// `markers[k]` stands after MCU k.
Bytes RestartImage(const std::vector<Bytes>& markers) {
  jpeg_test::StreamBuilder s;
  s.Soi().QuantTable(0, 1).Frame(0xC0, 32, 8, {{1, 0x11, 0}});
  TinyTables(s);
  s.Segment(0xDD, {0, 1}).Scan({1});
  for (uint32_t k = 0; k < 4; ++k) {
    s.Raw(DcBlock(k));
    if (k < markers.size()) s.Raw(markers[k]);
  }
  return s.Eoi().bytes();
}

// Lost or damaged restart markers: the intervals the data lost come out mid-grey
// (zero blocks), the rest decodes; a marker no restart point can take fails the read.
TEST(WholeImageRead, LostRestartMarkersResynchronise) {
  const Bytes rst0 = {0xFF, 0xD0}, rst1 = {0xFF, 0xD1}, rst2 = {0xFF, 0xD2}, none;
  struct Case {
    const char* name;
    std::vector<Bytes> markers;
    int32_t status;
    std::vector<uint8_t> samples;  // the grey of each MCU
  };
  const Case cases[] = {
      {"intact", {rst0, rst1, rst2}, 0, {136, 137, 138, 139}},
      {"RST1 missing", {rst0, none, rst2}, 0, {136, 137, 128, 139}},
      {"RST0 missing", {none, rst1, rst2}, 0, {136, 128, 138, 139}},
      {"cut before RST1", {rst0, {0xFF, 0xD9}}, 0, {136, 137, 128, 128}},
      {"RST1 damaged into RST6", {rst0, {0xFF, 0xD6}, rst2}, JPEG_ERR_BAD_RST, {}},
  };
  for (const Case& c : cases) {
    const Bytes jpeg = RestartImage(c.markers);
    Record r;
    r.SetInput(jpeg);
    ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0) << c.name;
    r.SetOutput(32, 8);
    ASSERT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), c.status) << c.name;
    const Bytes pixels = r.Pixels();
    for (size_t k = 0; k < c.samples.size(); ++k)
      EXPECT_EQ(pixels[(8 * k + 3) * 3], c.samples[k]) << c.name << ", MCU " << k;
  }
}

// Slots the stream never defined: quantisation is an error; Huffman slots 0 and 1 take
// the standard tables (the peer encodes with them), other slots are an error.
TEST(WholeImageRead, TablesNeverDefinedFailOrTakeTheStandardHuffmanTables) {
  jpeg_test::StreamBuilder no_dqt, no_slot2;
  no_dqt.Soi().Frame(0xC0, 8, 8, {{1, 0x11, 0}});
  TinyTables(no_dqt);
  no_dqt.Scan({1}).Raw(DcBlock(0)).Eoi();
  no_slot2.Soi().QuantTable(0, 1).Frame(0xC0, 8, 8, {{1, 0x11, 0}});
  TinyTables(no_slot2);
  no_slot2.Segment(0xDA, {1, 1, 0x22, 0, 63, 0}).Raw(DcBlock(0)).Eoi();
  for (const auto& [jpeg, status] : {std::pair{no_dqt.bytes(), JPEG_ERR_NO_QUANT},
                                     std::pair{no_slot2.bytes(), JPEG_ERR_NO_HUFFMAN}}) {
    Record r;
    r.SetInput(jpeg);
    ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
    r.SetOutput(8, 8);
    EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), status);
    EXPECT_TRUE(r.NothingWritten()) << status;
  }
  const Bytes jpeg = Encode420(40, 24);
  Bytes without_dht(jpeg.begin(), jpeg.begin() + 2);
  size_t rest = 2;
  for (const Segment& s : HeaderSegments(jpeg)) {
    if (s.code == 0xDA) break;
    if (s.code != 0xC4)
      without_dht.insert(without_dht.end(), jpeg.begin() + s.start, jpeg.begin() + s.end);
    rest = s.end;
  }
  without_dht.insert(without_dht.end(), jpeg.begin() + static_cast<long>(rest), jpeg.end());
  ASSERT_LT(without_dht.size(), jpeg.size());
  EXPECT_EQ(DecodeAsPageLoader(without_dht), DecodeAsPageLoader(jpeg));
}

// SOF then EOI: a frame without image data is no image, from memory and from a file.
TEST(WholeImageRead, AFrameWithoutAScanIsNoImage) {
  const Bytes jpeg =
      jpeg_test::StreamBuilder().Soi().QuantTable(0, 1).Frame420(16, 16).Eoi().bytes();
  const auto path = std::filesystem::temp_directory_path() / "setuvia_no_scan.jpg";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<long>(jpeg.size()));
  const std::string name = path.string();
  for (const int32_t mode : {READ_IMAGE_BUFFER, READ_IMAGE_FILE}) {
    Record r;
    r.SetInput(jpeg);
    r.p().jpeg_file = name.c_str();
    r.SetOutput(16, 16);
    EXPECT_EQ(JpegRead(&r.p(), mode), JPEG_ERR_NO_IMAGE) << mode;
    EXPECT_TRUE(r.NothingWritten()) << mode;
  }
  std::filesystem::remove(path);
}

// A colour frame whose only scan is its luminance: the chroma decodes mid-level, so
// the page is grey, whatever the buffer held.
TEST(WholeImageRead, AComponentWithoutAScanDecodesMidLevel) {
  jpeg_test::StreamBuilder s;
  s.Soi().QuantTable(0, 1).Frame(0xC0, 8, 8, {{1, 0x11, 0}, {2, 0x11, 0}, {3, 0x11, 0}});
  TinyTables(s);
  const Bytes jpeg = s.Scan({1}).Raw(DcBlock(0)).Eoi().bytes();
  Record r;
  r.SetInput(jpeg);
  ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
  r.SetOutput(8, 8);
  ASSERT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  const Bytes pixels = r.Pixels();
  for (uint8_t byte : Bytes(pixels.begin(), pixels.begin() + 24)) ASSERT_EQ(byte, 136);
}

// Each component of a sequential frame has one scan: a later scan of a component
// already decoded is passed over, whatever its data, and the read still succeeds.
TEST(WholeImageRead, ASecondScanOfADecodedComponentIsPassedOver) {
  jpeg_test::StreamBuilder s;
  s.Soi().QuantTable(0, 1).Frame(0xC0, 8, 8, {{1, 0x11, 0}});
  TinyTables(s);
  const Bytes jpeg = s.Scan({1}).Raw(DcBlock(3)).Scan({1}).Raw(DcBlock(9)).Eoi().bytes();
  Record r;
  r.SetInput(jpeg);
  ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
  r.SetOutput(8, 8);
  ASSERT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  for (uint8_t byte : r.Pixels()) ASSERT_EQ(byte, 136 + 3);
}

// Non-interleaved images: every scan in its own grid, and a later read on the same
// record starts again at SOI.
TEST(WholeImageRead, ANonInterleavedImageDecodesTheSameOnEveryRead) {
  using namespace setuvia::jpegtest;
  const CorpusEntry* entry = nullptr;
  for (const CorpusEntry& e : Manifest())
    if (e.Number("noninterleaved") == 1 && e.Number("progressive") == 0 &&
        e.Field("djpeg_status") == "ok" && e.Number("ncomp") == 3)
      entry = &e;
  SETUVIA_NEED_SHARED_DATA(entry != nullptr, "non-interleaved corpus file");
  const Bytes jpeg = ReadFileBytes(SharedDir() / "corpus" / entry->path);
  const Bytes first = DecodeAsPageLoader(jpeg);
  Record r;
  r.SetInput(jpeg);
  ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
  r.SetOutput(r.p().jpeg_width, r.p().jpeg_height);
  ASSERT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  EXPECT_EQ(r.Pixels(), first);
  ASSERT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
  EXPECT_EQ(r.Pixels(), first);
}

// The tables are prepared for a DCT method when their DQT is read; a method chosen
// after the parameters read still gets tables prepared for it.
TEST(WholeImageRead, AMethodChosenAfterTheParametersReadGetsItsOwnTables) {
  const Bytes jpeg = Encode420(40, 40);
  Bytes chosen_first, chosen_late;
  for (bool late : {false, true}) {
    Record r;
    r.SetInput(jpeg);
    if (!late) r.p().state.dct_method = DCT_METHOD_FAST;
    ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
    if (late) r.p().state.dct_method = DCT_METHOD_FAST;
    r.SetOutput(40, 40);
    ASSERT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), 0);
    (late ? chosen_late : chosen_first) = r.Pixels();
  }
  EXPECT_EQ(chosen_late, chosen_first);
}

// A 154-byte stream whose frame claims 65500 x 65500 pixels: decoding ends with its
// bytes instead of decoding zero bits for four billion pixels.
TEST(WholeImageRead, AFrameThatClaimsMoreThanItsBytesHoldEndsWithItsBytes) {
  using namespace setuvia::jpegtest;
  const auto path = SharedDir() / "hostile" / "bomb_65500x65500.jpg";
  SETUVIA_NEED_SHARED_DATA(std::filesystem::exists(path), "hostile file " << path);
  const Bytes jpeg = ReadFileBytes(path);
  Record r;
  r.SetInput(jpeg);
  ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), 0);
  r.SetOutput(256, 64);
  EXPECT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), JPEG_ERR_MEMORY);
  EXPECT_TRUE(r.GuardsIntact());
}

}  // namespace

// The scan keeps the position of the next MCU to decode, so that a later read could
// go on from there; a complete scan stands past its last row and is not resumed.
TEST(WholeImageRead, ACompleteScanSavesThePositionPastItsLastRow) {
  jpeg_test::StreamBuilder s;
  s.Soi().QuantTable(0, 1);
  const Bytes one_code = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  s.Segment(0xC4, jpeg_test::HuffmanPayload(0x00, one_code, {0}));  // DC: '0', difference 0
  s.Segment(0xC4, jpeg_test::HuffmanPayload(0x10, one_code, {0}));  // AC: '0' ends the block
  s.Frame(0xC0, 24, 16, {{1, 0x11, 0}}).Scan({1});
  s.Raw({0x00, 0x00}).Eoi();
  const Bytes jpeg = s.bytes();
  Record r;
  r.SetInput(jpeg);
  r.SetOutput(24, 16);
  ASSERT_EQ(JpegRead(&r.p(), READ_PARAMS_BUFFER), JPEG_SUCCESS);
  ASSERT_EQ(JpegRead(&r.p(), READ_IMAGE_BUFFER), JPEG_SUCCESS);
  EXPECT_EQ(r.p().state.scan.mcu_column, 0);
  EXPECT_EQ(r.p().state.scan.mcu_row, 2);
  EXPECT_EQ(r.p().state.current_scan, nullptr);
}
