// Region reads against whole reads: over the corpus (sequential, progressive, with and
// without restart markers) a region read gives exactly the pixels of the same rectangle
// of a whole read, writes nothing outside its buffer, and ends with "ROI Success";
// regions that leave nothing of the image are refused before a pixel is written.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/corpus_test_env.h"
#include "tests/jpeg/support/peer_codec.h"

namespace {

using namespace setuvia::jpegtest;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kUnwritten = 0x5A;
constexpr size_t kGuard = 64;

struct Rect {
  int32_t left, top, right, bottom;
};

// One read of `jpeg` from a fresh record after a parameters read, into a top-down buffer
// without padding, width x height pixels, guarded on both sides.
struct ReadResult {
  int32_t status = 0;
  uint32_t width = 0, height = 0, channels = 0;
  Bytes pixels;
  bool guards_intact = false;
};

ReadResult Read(const Bytes& jpeg, const Rect& roi, uint32_t width, uint32_t height) {
  ReadResult result;
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  if (JpegInit(&p) != 0) return result;
  p.jpeg_buffer = jpeg.data();
  p.jpeg_buffer_size = static_cast<uint32_t>(jpeg.size());
  result.status = JpegRead(&p, READ_PARAMS_BUFFER);
  if (result.status == 0) {
    if (width == 0) width = p.jpeg_width, height = p.jpeg_height;
    result.width = width, result.height = height, result.channels = p.dib_channels;
    Bytes storage(size_t{width} * height * p.dib_channels + 2 * kGuard, kUnwritten);
    p.dib_pixels = storage.data() + kGuard;
    p.dib_width = width;
    p.dib_height = static_cast<int32_t>(height);
    std::memcpy(p.state.roi_rect, &roi, sizeof roi);
    result.status = JpegRead(&p, READ_IMAGE_BUFFER);
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

void ExpectRegionsMatchWholeRead(const Bytes& jpeg, const std::string& name) {
  const ReadResult whole = Read(jpeg, {0, 0, 0, 0}, 0, 0);
  if (whole.status != 0) return;  // the whole read itself is pinned elsewhere
  const auto w = static_cast<int32_t>(whole.width), h = static_cast<int32_t>(whole.height);
  for (const Rect& r : RegionsOf(w, h)) {
    const uint32_t rw = (r.right ? r.right : w) - r.left, rh = (r.bottom ? r.bottom : h) - r.top;
    const ReadResult region = Read(jpeg, r, rw, rh);
    const std::string where = name + " region " + std::to_string(r.left) + "," +
                              std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                              std::to_string(r.bottom);
    const bool whole_image = r.left == 0 && r.top == 0 && rw == whole.width && rh == whole.height;
    EXPECT_EQ(region.status, whole_image ? JPEG_SUCCESS : JPEG_ROI_SUCCESS) << where;
    EXPECT_TRUE(region.guards_intact) << where;
    EXPECT_TRUE(region.pixels == Cut(whole, r, rw, rh)) << where;
  }
}

class RegionReadCorpus : public testing::TestWithParam<std::string> {};

TEST_P(RegionReadCorpus, ARegionReadEqualsTheSameRectangleOfAWholeRead) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "corpus");
  for (const CorpusEntry* entry : EntriesOf(GetParam())) {
    if (!(entry->IsSequential() || entry->IsProgressive()) || entry->Pixels() > (4u << 20))
      continue;
    const Bytes jpeg = ReadFileBytes(SharedDir() / "corpus" / entry->path);
    ExpectRegionsMatchWholeRead(jpeg, entry->path);
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, RegionReadCorpus, testing::ValuesIn(SourceParams()),
                         [](const auto& info) { return IdentifierOf(info.param); });

TEST(RegionRead, EverySamplingMatchesAWholeRead) {
  for (PeerSampling sampling :
       {PeerSampling::k444, PeerSampling::k422, PeerSampling::k420, PeerSampling::kGray})
    ExpectRegionsMatchWholeRead(EncodeTestImage(77, 53, sampling, 90), "sampling");
}

TEST(RegionRead, ARegionThatLeavesNothingOfTheImageIsRefusedUnwritten) {
  const Bytes jpeg = EncodeTestImage(40, 30, PeerSampling::k420, 90);
  const Rect refused[] = {{40, 0, 0, 0},   {0, 30, 0, 0},  {10, 0, 10, 0}, {10, 0, 5, 0},
                          {0, 12, 40, 12}, {0, 0, -4, 30}, {0, 0, 40, -1}, {50, 50, 60, 60}};
  for (const Rect& r : refused) {
    const ReadResult result = Read(jpeg, r, 8, 8);
    EXPECT_EQ(result.status, JPEG_ERR_INVALID_PROPERTIES)
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    EXPECT_EQ(result.pixels, Bytes(result.pixels.size(), kUnwritten));
  }
}

}  // namespace
