// The JPEG hand-over: refusals without a codec call; the failure path's trace lines, with the
// caller's header left as it was; and the premultiplying post-pass of four-component pages.
// Test JPEGs are made with the peer's encoder (TurboJPEG, test-only).
#include "image/jpeg_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/trace.h"
#include "tests/jpeg/support/peer_codec.h"

namespace {

using setuvia::jpegtest::EncodeTestImage;
using setuvia::jpegtest::PeerSampling;

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
// bytes; such a page could never be drawn, so no buffer is made for it.
TEST(DecodeJpegFromMemory, AFrameTooLargeToDrawIsRefusedAsAnAllocationFailure) {
  Bytes jpeg = EncodeTestImage(16, 16, PeerSampling::k444, 90);
  const std::size_t sof = FrameHeaderAt(jpeg);
  for (std::size_t i = sof + 5; i < sof + 9; ++i) jpeg[i] = 0xFF;  // height, width
  TraceLines trace;
  BitmapInfoHeader header = MarkedHeader();
  EXPECT_TRUE(DecodeJpegFromMemory(jpeg.data(), jpeg.size(), &header).empty());
  ExpectMarked(header);
  EXPECT_EQ(trace.lines(), (std::vector<std::string>{"Cannot allocate memory for image\n",
                                                     "Error reading JPEG from memory\n"}));
}

TEST(ConvertRgbaToBgraPremultiplied, SwapsRedAndBlueAndScalesByAlpha) {
  std::uint8_t pixels[] = {200, 100, 50, 128, 255, 255, 255, 255, 9, 9, 9, 0, 1, 2, 3, 4, 77};
  ConvertRgbaToBgraPremultiplied(pixels, 2, 2);
  const std::uint8_t expected[] = {25, 50, 100, 128, 254, 254, 254, 255, 0,
                                   0,  0,  0,   0,   0,   0,   4,   77};
  EXPECT_TRUE(std::equal(std::begin(pixels), std::end(pixels), std::begin(expected)));
}
