// The JPEG hand-over: refusals without a codec call; the failure path's trace lines, with the
// caller's header left as it was; the padded bottom-up rows and the header of decoded pages,
// their pixels beside the peer decoder's; and the premultiplying post-pass of four-component
// pages. Test JPEGs are made with the peer's encoder (TurboJPEG, test-only).
#include "image/jpeg_page.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/trace.h"
#include "tests/jpeg/support/image_compare.h"
#include "tests/jpeg/support/peer_codec.h"

namespace {

using setuvia::jpegtest::CompareDibs;
using setuvia::jpegtest::DecodeWithPeer;
using setuvia::jpegtest::DibLayout;
using setuvia::jpegtest::EncodeTestImage;
using setuvia::jpegtest::PeerFormat;
using setuvia::jpegtest::PeerSampling;

// Our plain routines and the peer with box upsampling and the accurate DCT differ only in
// rounding.
constexpr int kPeerTolerance = 3;

using Bytes = std::vector<std::uint8_t>;

// Collects the trace lines of one test.
class TraceLines {
 public:
  TraceLines() {
    platform::SetTraceCapture([this](const std::string& line) { m_lines.push_back(line); });
  }
  ~TraceLines() { platform::SetTraceCapture({}); }
  const std::vector<std::string>& lines() const { return m_lines; }

 private:
  std::vector<std::string> m_lines;
};

// The failure path's lines after the named step, with the byte pointer as "%X" renders it.
std::vector<std::string> FailureLines(const char* step_format, const std::uint8_t* bytes) {
  char step[96];
  std::snprintf(step, sizeof step, step_format,
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(bytes)));
  return {step, "Error reading JPEG from memory\n"};
}

constexpr const char* kHeaderStep = "Cannot read JPEG file header from memory: %X\n";
constexpr const char* kImageStep = "Cannot read image data from memory %X\n";

// A header with contents of its own, which a failed decode must leave alone.
BitmapInfoHeader MarkedHeader() {
  BitmapInfoHeader header;
  header.biWidth = 7;
  header.biHeight = 9;
  header.biBitCount = 24;
  header.biSizeImage = 1234;
  return header;
}

void ExpectMarked(const BitmapInfoHeader& header) {
  EXPECT_EQ(header.biWidth, 7);
  EXPECT_EQ(header.biHeight, 9);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biSizeImage, 1234u);
}

// The offset of the frame header's marker (SOF0 from the peer's baseline encoder).
std::size_t FrameHeaderAt(const Bytes& jpeg) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) return i;
  ADD_FAILURE() << "no SOF0 marker";
  return 0;
}

std::size_t ScanHeaderAt(const Bytes& jpeg) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i;
  ADD_FAILURE() << "no SOS marker";
  return 0;
}

// A 4:4:4 four-component (Adobe YCCK) JPEG of a CMYK pattern, as print workflows make them.
Bytes EncodeCmyk(int width, int height) {
  Bytes cmyk(std::size_t(width) * height * 4);
  for (std::size_t i = 0; i < cmyk.size(); ++i)
    cmyk[i] = static_cast<std::uint8_t>(40 + (i * 37) % 180);
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const int status = tjCompress2(handle, cmyk.data(), width, 0, height, TJPF_CMYK, &out, &size,
                                 TJSAMP_444, 95, TJFLAG_ACCURATEDCT);
  Bytes jpeg;
  if (status == 0) jpeg.assign(out, out + size);
  tjFree(out);
  tjDestroy(handle);
  return jpeg;
}

}  // namespace

TEST(DecodeJpegFromMemory, NoBytesOrNoSizeReturnNothingAtOnce) {
  TraceLines trace;
  BitmapInfoHeader header = MarkedHeader();
  EXPECT_TRUE(DecodeJpegFromMemory(nullptr, 10, &header).empty());
  const std::uint8_t one = 0xFF;
  EXPECT_TRUE(DecodeJpegFromMemory(&one, 0, &header).empty());
  ExpectMarked(header);
  EXPECT_TRUE(trace.lines().empty());
}

TEST(DecodeJpegFromMemory, BytesThatAreNoJpegFailAtTheHeaderRead) {
  TraceLines trace;
  BitmapInfoHeader header = MarkedHeader();
  const std::uint8_t bytes[] = {'B', 'M', 0, 0, 0xFF, 0xD9};
  EXPECT_TRUE(DecodeJpegFromMemory(bytes, sizeof bytes, &header).empty());
  ExpectMarked(header);
  EXPECT_EQ(trace.lines(), FailureLines(kHeaderStep, bytes));
}

TEST(DecodeJpegFromMemory, AFileCutInsideItsTablesFailsAtTheHeaderRead) {
  const Bytes jpeg = EncodeTestImage(64, 48, PeerSampling::k420, 90);
  const Bytes cut(jpeg.begin(),
                  jpeg.begin() + static_cast<std::ptrdiff_t>(FrameHeaderAt(jpeg) - 20));
  TraceLines trace;
  BitmapInfoHeader header = MarkedHeader();
  EXPECT_TRUE(DecodeJpegFromMemory(cut.data(), cut.size(), &header).empty());
  ExpectMarked(header);
  EXPECT_EQ(trace.lines(), FailureLines(kHeaderStep, cut.data()));
}

// The headers read well; the image read runs out of bytes before the end of the image.
TEST(DecodeJpegFromMemory, AFileCutInsideItsScanFailsAtTheImageRead) {
  const Bytes jpeg = EncodeTestImage(64, 48, PeerSampling::k420, 90);
  const std::size_t scan = ScanHeaderAt(jpeg);
  const Bytes cut(jpeg.begin(),
                  jpeg.begin() + static_cast<std::ptrdiff_t>(scan + (jpeg.size() - scan) / 2));
  TraceLines trace;
  BitmapInfoHeader header = MarkedHeader();
  EXPECT_TRUE(DecodeJpegFromMemory(cut.data(), cut.size(), &header).empty());
  ExpectMarked(header);
  EXPECT_EQ(trace.lines(), FailureLines(kImageStep, cut.data()));
}

// A frame header may claim 65535 x 65535 pixels (12 GB of rows) in a file of a few hundred
// bytes, or a width no window can take; such a page could never be shown, so no buffer is
// made for it.
TEST(DecodeJpegFromMemory, AFrameTooLargeToShowIsRefusedAsAnAllocationFailure) {
  const std::uint16_t claims[][2] = {{65535, 65535}, {40000, 8}, {8, 32768}};
  for (const auto& [width, height] : claims) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    Bytes jpeg = EncodeTestImage(16, 16, PeerSampling::k444, 90);
    const std::size_t sof = FrameHeaderAt(jpeg);
    jpeg[sof + 5] = height >> 8;
    jpeg[sof + 6] = height & 0xFF;
    jpeg[sof + 7] = width >> 8;
    jpeg[sof + 8] = width & 0xFF;
    TraceLines trace;
    BitmapInfoHeader header = MarkedHeader();
    EXPECT_TRUE(DecodeJpegFromMemory(jpeg.data(), jpeg.size(), &header).empty());
    ExpectMarked(header);
    EXPECT_EQ(trace.lines(), (std::vector<std::string>{"Cannot allocate memory for image\n",
                                                       "Error reading JPEG from memory\n"}));
  }
}

TEST(DecodeJpegFromMemory, AColourPage25x10HasPaddedBottomUpRowsAndItsHeader) {
  const Bytes jpeg = EncodeTestImage(25, 10, PeerSampling::k420, 90);
  TraceLines trace;
  BitmapInfoHeader header = MarkedHeader();
  const Bytes pixels = DecodeJpegFromMemory(jpeg.data(), jpeg.size(), &header);
  EXPECT_EQ(pixels.size(), 760u);  // (75 bytes + 1 of padding) x 10 rows
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 25);
  EXPECT_EQ(header.biHeight, 10);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, 0u);
  EXPECT_EQ(header.biSizeImage, 760u);
  EXPECT_EQ(header.biXPelsPerMeter, 0);
  EXPECT_EQ(header.biYPelsPerMeter, 0);
  EXPECT_EQ(header.biClrUsed, 0u);
  EXPECT_EQ(header.biClrImportant, 0u);
  EXPECT_TRUE(trace.lines().empty());
}

// A page shown smaller than it is comes at the largest reduction that still covers the
// shown size, with its own size reported beside the reduced header.
TEST(DecodeJpegFromMemory, APageShownSmallerIsDecodedAtTheLargestReductionCoveringIt) {
  const Bytes jpeg = EncodeTestImage(75, 43, PeerSampling::k420, 90);
  const struct {
    PageExtent shown;
    int scale;
  } cases[] = {{{75, 43}, 1}, {{38, 23}, 1}, {{38, 22}, 2}, {{30, 20}, 2},
               {{19, 11}, 4}, {{10, 6}, 8},  {{1, 1}, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "shown " << c.shown.width << "x" << c.shown.height);
    BitmapInfoHeader header;
    PageExtent page;
    const Bytes pixels = DecodeJpegFromMemory(
        jpeg.data(), jpeg.size(), &header, nullptr, [&](int, int) { return c.shown; }, &page);
    const auto peer = DecodeWithPeer(jpeg, PeerFormat::kBgr, c.scale);
    ASSERT_TRUE(peer.decoded);
    EXPECT_EQ(header.biWidth, static_cast<int>(peer.layout.width));
    EXPECT_EQ(header.biHeight, static_cast<int>(peer.layout.height));
    EXPECT_EQ(page.width, 75);
    EXPECT_EQ(page.height, 43);
    ASSERT_EQ(pixels.size(), peer.layout.BufferSize());
    EXPECT_LE(CompareDibs(pixels, peer.pixels, peer.layout).max_abs, 4);
  }
}

TEST(DecodeJpegFromMemory, AGreyPageRepeatsEachGreyAsBlueGreenAndRed) {
  const Bytes jpeg = EncodeTestImage(33, 17, PeerSampling::kGray, 90);
  BitmapInfoHeader header;
  const Bytes pixels = DecodeJpegFromMemory(jpeg.data(), jpeg.size(), &header);
  const DibLayout layout{33, 17, 3};
  ASSERT_EQ(pixels.size(), layout.BufferSize());
  EXPECT_EQ(header.biBitCount, 24);
  int levels_seen = 0;
  for (std::size_t row = 0; row < layout.height; ++row) {
    for (std::size_t x = 0; x < layout.width; ++x) {
      const std::uint8_t* px = &pixels[row * layout.Stride() + 3 * x];
      ASSERT_EQ(px[0], px[1]) << "at " << x << ", row " << row;
      ASSERT_EQ(px[0], px[2]) << "at " << x << ", row " << row;
      levels_seen += px[0] != pixels[0];
    }
  }
  EXPECT_GT(levels_seen, 0) << "a flat picture shows nothing";
}

// Every sampling the pages use, in sizes that cut MCUs at the right and bottom edges.
TEST(DecodeJpegFromMemory, PagesMatchThePeerDecoderWithinRounding) {
  struct Case {
    PeerSampling sampling;
    std::uint32_t width, height;
  };
  const Case cases[] = {{PeerSampling::k420, 333, 217},  {PeerSampling::k420, 16, 16},
                        {PeerSampling::k422, 25, 10},    {PeerSampling::k422, 97, 31},
                        {PeerSampling::k444, 1, 1},      {PeerSampling::k444, 130, 67},
                        {PeerSampling::kGray, 333, 217}, {PeerSampling::kGray, 7, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.width << "x" << c.height << " sampling " << static_cast<int>(c.sampling));
    const Bytes jpeg = EncodeTestImage(c.width, c.height, c.sampling, 90);
    BitmapInfoHeader header;
    const Bytes ours = DecodeJpegFromMemory(jpeg.data(), jpeg.size(), &header);
    const auto peer = DecodeWithPeer(jpeg, PeerFormat::kBgr);
    ASSERT_TRUE(peer.decoded) << peer.message;
    ASSERT_EQ(ours.size(), peer.layout.BufferSize());
    EXPECT_EQ(header.biWidth, static_cast<std::int32_t>(c.width));
    EXPECT_EQ(header.biHeight, static_cast<std::int32_t>(c.height));
    const auto difference = CompareDibs(ours, peer.pixels, peer.layout);
    EXPECT_LE(difference.max_abs, kPeerTolerance) << difference.Describe();
  }
}

// The first three components decode as YCbCr to the three colours the encoder converted (the
// C, M and Y that the peer gives back) and the fourth is kept as alpha; the post-pass then
// makes blue, green, red, alpha with the colours multiplied by alpha.
TEST(DecodeJpegFromMemory, AFourComponentPageHas32BitPremultipliedRows) {
  const Bytes jpeg = EncodeCmyk(5, 3);
  ASSERT_FALSE(jpeg.empty());
  BitmapInfoHeader header;
  const Bytes ours = DecodeJpegFromMemory(jpeg.data(), jpeg.size(), &header);
  EXPECT_EQ(header.biBitCount, 32);
  EXPECT_EQ(header.biSizeImage, 60u);
  ASSERT_EQ(ours.size(), 60u);
  const auto peer = DecodeWithPeer(jpeg, PeerFormat::kCmyk);
  ASSERT_TRUE(peer.decoded) << peer.message;
  ASSERT_EQ(peer.pixels.size(), ours.size());
  for (std::size_t i = 0; i < ours.size(); i += 4) {
    const unsigned k = peer.pixels[i + 3];
    for (int c = 0; c < 3; ++c) {
      const unsigned colour = peer.pixels[i + 2 - c];  // blue from Y, green from M, red from C
      EXPECT_NEAR(ours[i + c], (colour * k + 1) >> 8, kPeerTolerance) << "byte " << i + c;
    }
    EXPECT_NEAR(ours[i + 3], k, kPeerTolerance) << "alpha of pixel " << i / 4;
  }
}

// Pages decode in the colour the parameters read reported; four components without an
// Adobe marker are taken as CMYK.
TEST(SetJpegPageOutput, KeepsTheReportedColourOfRgbCmykAndYcckPages) {
  struct Case {
    std::uint32_t channels, reported, jpeg_color, dib_channels, dib_color;
  };
  for (const Case& c : {Case{1, COLOR_GRAY, COLOR_GRAY, 3, COLOR_BGR},
                        Case{3, COLOR_YCBCR, COLOR_YCBCR, 3, COLOR_BGR},
                        Case{3, COLOR_RGB, COLOR_RGB, 3, COLOR_BGR},
                        Case{4, COLOR_YCBCRA, COLOR_YCBCRA, 4, COLOR_RGBA},
                        Case{4, COLOR_RGBA, COLOR_RGBA, 4, COLOR_RGBA},
                        Case{4, COLOR_YCBCR, COLOR_RGBA, 4, COLOR_RGBA}}) {
    JPEG_PROPERTIES p{};
    p.jpeg_width = 5;
    p.jpeg_height = 2;
    p.jpeg_channels = c.channels;
    p.jpeg_color = c.reported;
    SetJpegPageOutput(p);
    EXPECT_EQ(p.jpeg_color, c.jpeg_color) << c.channels << " " << c.reported;
    EXPECT_EQ(p.dib_channels, c.dib_channels) << c.channels << " " << c.reported;
    EXPECT_EQ(p.dib_color, c.dib_color) << c.channels << " " << c.reported;
  }
}

TEST(ConvertRgbaToBgraPremultiplied, SwapsRedAndBlueAndScalesByAlpha) {
  std::uint8_t pixels[] = {200, 100, 50, 128, 255, 255, 255, 255, 9, 9, 9, 0, 1, 2, 3, 4, 77};
  ConvertRgbaToBgraPremultiplied(pixels, 2, 2);
  const std::uint8_t expected[] = {25, 50, 100, 128, 254, 254, 254, 255, 0,
                                   0,  0,  0,   0,   0,   0,   4,   77};
  EXPECT_TRUE(std::equal(std::begin(pixels), std::end(pixels), std::begin(expected)));
}
