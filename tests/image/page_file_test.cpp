// Loading page files without drawing them: a page that fails says so in one trace line with
// its path, the step that failed and the reason (the codec's status text, or the BMP rule).
#include "image/page_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/trace.h"
#include "tests/image/bmp_test_file.h"
#include "tests/jpeg/support/peer_codec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes CutInScan(Bytes jpeg) {
  jpeg.resize(jpeg.size() * 2 / 3);
  return jpeg;
}

// Marks the frame as arithmetic-coded (SOF9), which pages do not use.
Bytes Arithmetic(Bytes jpeg) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 1] = 0xC9;
      break;
    }
  }
  return jpeg;
}

}  // namespace

TEST(LoadPageFile, AFailedPageTracesItsPathTheStepAndTheReason) {
  const Bytes jpeg =
      setuvia::jpegtest::EncodeTestImage(64, 48, setuvia::jpegtest::PeerSampling::k420, 90);
  const struct {
    const char* name;
    Bytes bytes;
    const char* failure;
  } cases[] = {
      {"empty.jpg", {}, "file read failed: empty file"},
      {"text.jpg", {'h', 'e', 'l', 'l', 'o'}, "header read failed: Not JPEG"},
      {"cut.jpg", CutInScan(jpeg), "image read failed: Memory error"},
      {"arith.jpg", Arithmetic(jpeg), "header read failed: Unsupported frame was found"},
      {"rle.bmp", bmp_test::MakeBmp({.compression = 1}), "BMP refused: compressed (compression 1)"},
      {"photo.bmp", jpeg, "BMP refused: not a BMP file"},
      {"page.png", bmp_test::MakeBmp({}), "not a page: the name does not end in .jpg or .bmp"},
  };
  bmp_test::TempFolder folder("page-file-test");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.Folder() + c.name;
    bmp_test::WriteFile(path, c.bytes);
    std::vector<std::string> lines;
    platform::SetTraceCapture([&](const std::string& line) { lines.push_back(line); });
    const PageFile page = LoadPageFile(path);
    platform::SetTraceCapture({});
    ASSERT_TRUE(page.failure);
    EXPECT_EQ(PageLoadFailureText(*page.failure), c.failure);
    EXPECT_TRUE(page.pixels.empty());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Page " + path + " not shown: " + c.failure + "\n");
  }
}

TEST(LoadPageFile, AMissingFileFailsAtTheFileRead) {
  const PageFile page = LoadPageFile("/nonexistent/01.jpg");
  ASSERT_TRUE(page.failure);
  EXPECT_EQ(page.failure->step, "file read failed");
}

TEST(LoadPageFile, AShownPageTracesNoFailure) {
  bmp_test::TempFolder folder("page-file-test-ok");
  const std::string path = folder.Folder() + "01.bmp";
  bmp_test::WriteFile(path, bmp_test::MakeBmp({.width = 5, .height = 2}));
  std::vector<std::string> lines;
  platform::SetTraceCapture([&](const std::string& line) { lines.push_back(line); });
  const PageFile page = LoadPageFile(path);
  platform::SetTraceCapture({});
  EXPECT_FALSE(page.failure);
  EXPECT_EQ(page.header.biWidth, 5);
  EXPECT_TRUE(lines.empty());
}
