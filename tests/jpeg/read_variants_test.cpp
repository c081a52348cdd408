// Region and interrupted reads against whole reads: over the corpus (sequential,
// progressive, with and without restart markers) a region read gives exactly the pixels
// of the same rectangle of a whole read and ends with "ROI Success", an interrupted read
// one MCU per call ends with the same picture, and neither writes outside its buffer;
// regions that leave nothing of the image are refused before a pixel is written.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus_test_env.h"
#include "tests/jpeg/support/peer_codec.h"
#include "tests/platform/temp_folder.h"

namespace {

using namespace setuvia::jpegtest;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kUnwritten = 0x5A;
constexpr size_t kGuard = 64;

struct Rect {
  int32_t left, top, right, bottom;
};

// One read of `jpeg` from a fresh record after a parameters read, into a top-down buffer
// without padding, width x height pixels (0: the image's), guarded on both sides;
// interrupted: one MCU per call, each reported position checked, until the read ends.
struct ReadResult {
  int32_t status = 0;
  uint32_t width = 0, height = 0, channels = 0;
  Bytes pixels;
  bool guards_intact = false;
  int32_t interrupts = 0;
};

struct Request {
  Rect roi{0, 0, 0, 0};
  uint32_t width = 0, height = 0;
  bool interrupt = false;
  uint32_t scale = 1;  // 2, 4, 8: the reduced read, its pixels the unit of roi
};

// Every reported position is a part of the (reduced) image, not empty.
bool ReportIsInside(const JPEG_PROPERTIES& p, uint32_t scale) {
  const int32_t* r = p.state.roi_rect;
  const auto width = static_cast<int32_t>(JpegScaledExtent(p.jpeg_width, scale));
  const auto height = static_cast<int32_t>(JpegScaledExtent(p.jpeg_height, scale));
  return r[0] >= 0 && r[1] >= 0 && r[0] < r[2] && r[1] < r[3] && r[2] <= width && r[3] <= height;
}

ReadResult Read(const Bytes& jpeg, const Request& request) {
  ReadResult result;
  JPEG_PROPERTIES p;
  if (OpenRecord(jpeg, p) != 0) return result;
  result.status = JpegRead(&p, READ_PARAMS_BUFFER);
  if (result.status == 0) {
    const uint32_t width =
        request.width ? request.width : JpegScaledExtent(p.jpeg_width, request.scale);
    const uint32_t height =
        request.width ? request.height : JpegScaledExtent(p.jpeg_height, request.scale);
    result.width = width, result.height = height, result.channels = p.dib_channels;
    Bytes storage(size_t{width} * height * p.dib_channels + 2 * kGuard, kUnwritten);
    p.dib_pixels = storage.data() + kGuard;
    p.dib_width = width;
    p.dib_height = static_cast<int32_t>(height);
    std::memcpy(p.state.roi_rect, &request.roi, sizeof request.roi);
    for (;;) {
      p.state.interrupt_flag = request.interrupt;
      result.status = JpegRead(&p, JpegScaledReadMode(request.scale));
      if (result.status != JPEG_INTERRUPT_SUCCESS) break;
      ++result.interrupts;
      EXPECT_TRUE(ReportIsInside(p, request.scale)) << "report " << result.interrupts;
    }
    if (request.interrupt) {
      EXPECT_EQ(0, std::memcmp(p.state.roi_rect, &request.roi, sizeof request.roi));
    }
    result.guards_intact = true;
    for (size_t i = 0; i < kGuard; ++i)
      result.guards_intact &=
          storage[i] == kUnwritten && storage[storage.size() - 1 - i] == kUnwritten;
    result.pixels.assign(storage.begin() + kGuard, storage.end() - kGuard);
  }
  JpegFree(&p);
  return result;
}

// Rectangles of a w x h image: edges, corners, odd offsets, open right and bottom.
std::vector<Rect> RegionsOf(int32_t w, int32_t h) {
  std::vector<Rect> regions = {{0, 0, w, (h + 2) / 3},
                               {w / 3, h / 3, 2 * w / 3 + 1, 2 * h / 3 + 1},
                               {w - 1, h - 1, w, h},
                               {1, h / 2, 0, 0},
                               {w / 2 + 3, 0, w, h - 5}};
  std::vector<Rect> valid;
  for (const Rect& r : regions)
    if (r.left >= 0 && r.top >= 0 && r.left < w && r.top < h &&
        (r.right == 0 || r.right > r.left) && (r.bottom == 0 || r.bottom > r.top))
      valid.push_back(r);
  return valid;
}

// The region's pixels cut from a whole read.
Bytes Cut(const ReadResult& whole, const Rect& r, uint32_t width, uint32_t height) {
  Bytes cut;
  const size_t row_bytes = size_t{whole.width} * whole.channels;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row =
        whole.pixels.data() + (r.top + y) * row_bytes + size_t(r.left) * whole.channels;
    cut.insert(cut.end(), row, row + size_t{width} * whole.channels);
  }
  return cut;
}

// Region reads, and interrupted ones of the whole image and of a region, against a whole read
// at the same scale.
void ExpectReadsMatchWholeRead(const Bytes& jpeg, const std::string& image, uint32_t scale = 1) {
  const std::string name = image + " at 1/" + std::to_string(scale);
  const ReadResult whole = Read(jpeg, {.scale = scale});
  if (whole.status != 0) return;  // the whole read itself is pinned elsewhere
  const auto w = static_cast<int32_t>(whole.width), h = static_cast<int32_t>(whole.height);
  const ReadResult interrupted = Read(jpeg, {.interrupt = true, .scale = scale});
  EXPECT_EQ(interrupted.status, JPEG_SUCCESS) << name;
  EXPECT_TRUE(interrupted.pixels == whole.pixels) << name << " interrupted";
  const std::vector<Rect> regions = RegionsOf(w, h);
  for (size_t i = 0; i < regions.size(); ++i) {
    const Rect& r = regions[i];
    const uint32_t rw = (r.right ? r.right : w) - r.left, rh = (r.bottom ? r.bottom : h) - r.top;
    // The second region is read interrupted as well.
    const ReadResult region = Read(jpeg, {r, rw, rh, i == 1, scale});
    const std::string where = name + " region " + std::to_string(r.left) + "," +
                              std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                              std::to_string(r.bottom);
    const bool whole_image = r.left == 0 && r.top == 0 && rw == whole.width && rh == whole.height;
    EXPECT_EQ(region.status, whole_image ? JPEG_SUCCESS : JPEG_ROI_SUCCESS) << where;
    EXPECT_TRUE(region.guards_intact) << where;
    EXPECT_TRUE(region.pixels == Cut(whole, r, rw, rh)) << where;
  }
}

class ReadVariantsCorpus : public testing::TestWithParam<std::string> {};

TEST_P(ReadVariantsCorpus, RegionAndInterruptedReadsEqualAWholeRead) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "corpus");
  for (const CorpusEntry* entry : EntriesOf(GetParam())) {
    if (!(entry->IsSequential() || entry->IsProgressive()) || entry->Pixels() > (2u << 20))
      continue;
    const Bytes jpeg = ReadFileBytes(SharedDir() / "corpus" / entry->path);
    for (uint32_t scale : {1u, 2u, 4u, 8u}) ExpectReadsMatchWholeRead(jpeg, entry->path, scale);
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, ReadVariantsCorpus, testing::ValuesIn(SourceParams()),
                         [](const auto& info) { return IdentifierOf(info.param); });

TEST(ReadVariants, EverySamplingAndScaleMatchesAWholeRead) {
  for (PeerSampling sampling :
       {PeerSampling::k444, PeerSampling::k422, PeerSampling::k420, PeerSampling::kGray})
    for (uint32_t scale : {1u, 2u, 4u, 8u})
      ExpectReadsMatchWholeRead(EncodeTestImage(77, 53, sampling, 90), "sampling", scale);
}

// A baseline 4:2:0 JPEG of the test picture with a restart marker every `interval` MCUs,
// made with libjpeg's own interface (TurboJPEG's has no restart interval).
Bytes EncodeWithRestarts(uint32_t width, uint32_t height, uint32_t interval) {
  const Bytes source = EncodeTestImage(width, height, PeerSampling::k444, 98);
  const PeerImage picture = DecodeWithPeer(source, PeerFormat::kBgr);
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);  // errors exit; the inputs here are well-formed
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  info.restart_interval = interval;
  jpeg_start_compress(&info, TRUE);
  for (uint32_t y = 0; y < height; ++y) {  // the peer's rows are bottom-up
    JSAMPROW row =
        const_cast<uint8_t*>(picture.pixels.data()) + (height - 1 - y) * picture.layout.Stride();
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes jpeg(out, out + size);
  std::free(out);
  return jpeg;
}

// Restarts several times per MCU row let region reads jump from the region's right edge to
// the restart point before its left edge; markers lost or out of sequence stop the jumps.
TEST(ReadVariants, RegionsOfImagesWithSeveralRestartsPerRowMatchAWholeRead) {
  for (uint32_t interval : {1u, 3u, 4u, 7u}) {
    const Bytes jpeg = EncodeWithRestarts(203, 75, interval);  // 13 MCUs across
    ExpectReadsMatchWholeRead(jpeg, "restart every " + std::to_string(interval));
    ExpectReadsMatchWholeRead(jpeg, "restart every " + std::to_string(interval), 2);
    Bytes lost = jpeg;  // the third restart marker removed, the fifth made out of sequence
    int32_t seen = 0;
    for (size_t i = 0; i + 1 < lost.size(); ++i) {
      if (lost[i] != 0xFF || lost[i + 1] < 0xD0 || lost[i + 1] > 0xD7) continue;
      if (++seen == 3) lost.erase(lost.begin() + i, lost.begin() + i + 2);
      if (seen == 5) lost[i + 1] = 0xD7 - (lost[i + 1] - 0xD0);
    }
    ExpectReadsMatchWholeRead(lost, "lost restarts every " + std::to_string(interval));
  }
}

// Each call of an interrupted read decodes one MCU; a record freed half-way releases all.
TEST(InterruptedRead, OneMcuPerCallAndARecordFreedHalfWayHoldsNothing) {
  const Bytes jpeg = EncodeTestImage(40, 24, PeerSampling::k420, 90);
  EXPECT_EQ(Read(jpeg, {.interrupt = true}).interrupts, 3 * 2 - 1);  // 16x16 MCUs
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  ASSERT_EQ(JpegInit(&p), 0);
  Bytes pixels(40 * 24 * 3);
  p.jpeg_buffer = jpeg.data();
  p.jpeg_buffer_size = static_cast<uint32_t>(jpeg.size());
  p.dib_pixels = pixels.data();
  p.dib_width = 40;
  p.dib_height = 24;
  p.state.interrupt_flag = 1;
  EXPECT_EQ(JpegRead(&p, READ_IMAGE_BUFFER), JPEG_INTERRUPT_SUCCESS);
  const int32_t first[4] = {0, 0, 16, 16};
  EXPECT_EQ(0, std::memcmp(p.state.roi_rect, first, sizeof first));
  EXPECT_EQ(p.state.interrupt_flag, 0);
  EXPECT_EQ(JpegFree(&p), 0);  // the leak check of the sanitizer build sees the rest
}

// A file stays open between the calls of an interrupted read and is closed at its end.
TEST(InterruptedRead, AFileReadGoesOnWhereThePreviousCallStopped) {
  const Bytes jpeg = EncodeTestImage(40, 24, PeerSampling::k422, 90);
  TempFolder folder;
  const std::string path = folder.Write(
      "page.jpg", std::string_view(reinterpret_cast<const char*>(jpeg.data()), jpeg.size()));
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  ASSERT_EQ(JpegInit(&p), 0);
  Bytes pixels(40 * 24 * 3);
  p.jpeg_file = path.c_str();
  p.dib_pixels = pixels.data();
  p.dib_width = 40;
  p.dib_height = 24;
  int32_t status = 0, calls = 0;
  do {
    p.state.interrupt_flag = 1;
    status = JpegRead(&p, READ_IMAGE_FILE);
    ++calls;
  } while (status == JPEG_INTERRUPT_SUCCESS);
  EXPECT_EQ(status, JPEG_SUCCESS);
  EXPECT_EQ(calls, 3 * 3);  // 16x8 MCUs
  EXPECT_EQ(p.state.stream.file_handle, nullptr);
  EXPECT_EQ(JpegFree(&p), 0);
  EXPECT_EQ(pixels, Read(jpeg, {}).pixels);
}

TEST(ReadVariants, ARegionThatLeavesNothingOfTheImageIsRefusedUnwritten) {
  const Bytes jpeg = EncodeTestImage(40, 30, PeerSampling::k420, 90);
  const Rect refused[] = {{40, 0, 0, 0},   {0, 30, 0, 0},  {10, 0, 10, 0}, {10, 0, 5, 0},
                          {0, 12, 40, 12}, {0, 0, -4, 30}, {0, 0, 40, -1}, {50, 50, 60, 60}};
  for (const Rect& r : refused) {
    const ReadResult result = Read(jpeg, {r, 8, 8});
    EXPECT_EQ(result.status, JPEG_ERR_INVALID_PROPERTIES)
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    EXPECT_EQ(result.pixels, Bytes(result.pixels.size(), kUnwritten));
  }
}

}  // namespace
