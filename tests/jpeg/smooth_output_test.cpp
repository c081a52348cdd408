// Smooth upsampling. The delayed, MCU-at-a-time output is held exactly to the triangle
// filter applied to whole planes, written here from its definition: the planes come from a
// box read of COLOR_OTHER samples, which puts each component's samples into its channel
// without colour arithmetic. Synthetic images cut their MCUs at every edge; the corpus adds
// what real encoders make. (oracle_test holds the colour picture to the peer's triangle filter.)
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus_test_env.h"
#include "tests/jpeg/support/peer_codec.h"

namespace setuvia::jpegtest {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kGuard = 64;
constexpr uint8_t kGuardValue = 0xA5;
constexpr uint64_t kMaxPixels = uint64_t{4} << 20;  // keeps the corpus cases quick

// Each component's samples, upsampled, in its own channel: top-down rows without padding.
struct SampleImage {
  int32_t status = -1000;
  uint32_t width = 0, height = 0, channels = 0;
  JpegFrameHeader frame{};
  Bytes storage;  // guard, pixels, guard

  uint8_t At(uint32_t x, uint32_t y, uint32_t c) const {
    return storage[kGuard + (size_t{y} * width + x) * channels + c];
  }
  Bytes Pixels() const { return Bytes(storage.begin() + kGuard, storage.end() - kGuard); }
  bool GuardsIntact() const {
    auto guard = [](uint8_t b) { return b == kGuardValue; };
    if (storage.empty()) return true;
    return std::all_of(storage.begin(), storage.begin() + kGuard, guard) &&
           std::all_of(storage.end() - kGuard, storage.end(), guard);
  }
};

// A 3- or 4-component image read as COLOR_OTHER, box or smooth, into a buffer of the
// image's width and `rows` rows (all of them when 0).
SampleImage ReadSamples(const Bytes& jpeg, bool smooth, uint32_t rows = 0) {
  SampleImage image;
  JPEG_PROPERTIES p;
  if (OpenRecord(jpeg, p) != 0) return image;
  image.status = JpegRead(&p, READ_PARAMS_BUFFER);
  const uint64_t pixels = uint64_t{p.jpeg_width} * p.jpeg_height;
  if (image.status == 0 && (p.jpeg_channels == 3 || p.jpeg_channels == 4) && pixels <= kMaxPixels) {
    image.width = p.jpeg_width;
    image.height = rows != 0 ? rows : p.jpeg_height;
    image.channels = p.jpeg_channels;
    image.storage.assign(size_t{image.width} * image.height * image.channels + 2 * kGuard,
                         kGuardValue);
    p.jpeg_color = COLOR_OTHER;
    p.dib_color = COLOR_OTHER;
    p.dib_channels = image.channels;
    p.dib_pixels = image.storage.data() + kGuard;
    p.dib_width = image.width;
    p.dib_height = static_cast<int32_t>(image.height);
    p.state.smooth_upsampling = smooth ? 1 : 0;
    image.status = JpegRead(&p, READ_IMAGE_BUFFER);
    image.frame = p.state.frame;
  } else if (image.status == 0) {
    image.status = -1000;  // not a case for these tests
  }
  JpegFree(&p);
  return image;
}

// The triangle filter over whole planes, from its definition: per direction 3/4 of the
// nearest sample and 1/4 of the next farther one (9, 3, 3, 1 sixteenths for 2x2), rounded
// +1 / +2 (+8 / +7) for even / odd output columns, the edge sample standing in for a
// neighbour beyond the image. Components not at half the width stay as the box read has them.
Bytes SmoothReference(const SampleImage& box) {
  Bytes out = box.Pixels();
  const JpegFrameHeader& f = box.frame;
  if (f.h_max != 2 || f.v_max > 2) return out;
  for (uint32_t c = 0; c < box.channels; ++c) {
    const int rx = f.h_max / f.components[c].h, ry = f.v_max / f.components[c].v;
    if (rx != 2) continue;
    const int last_k = static_cast<int>((box.width + 1) / 2) - 1;
    const int last_j = static_cast<int>((box.height + ry - 1) / ry) - 1;
    auto s = [&](int k, int j) {
      k = std::clamp(k, 0, last_k);
      j = std::clamp(j, 0, last_j);
      return int{box.At(static_cast<uint32_t>(k * 2), static_cast<uint32_t>(j * ry), c)};
    };
    for (uint32_t y = 0; y < box.height; ++y)
      for (uint32_t x = 0; x < box.width; ++x) {
        const bool odd = x % 2 == 1;
        const int k = static_cast<int>(x / 2), kf = odd ? k + 1 : k - 1;
        const int j = static_cast<int>(y) / ry, jf = y % 2 == 1 ? j + 1 : j - 1;
        const int value =
            ry == 1 ? (3 * s(k, j) + s(kf, j) + (odd ? 2 : 1)) >> 2
                    : (9 * s(k, j) + 3 * s(kf, j) + 3 * s(k, jf) + s(kf, jf) + (odd ? 7 : 8)) >> 4;
        out[(size_t{y} * box.width + x) * box.channels + c] = static_cast<uint8_t>(value);
      }
  }
  return out;
}

// The smooth read of `jpeg` equals the reference; a non-interleaved sequential image may be
// refused instead (its components come a scan at a time).
void ExpectSmoothReadFollowsTheFilter(const Bytes& jpeg, const std::string& name,
                                      bool non_interleaved = false) {
  const SampleImage box = ReadSamples(jpeg, false);
  if (box.status == -1000) return;
  const SampleImage smooth = ReadSamples(jpeg, true);
  SCOPED_TRACE(name);
  ASSERT_TRUE(smooth.GuardsIntact());
  if (non_interleaved && smooth.status == JPEG_ERR_NOT_SUPPORTED) return;
  ASSERT_EQ(smooth.status, box.status);
  if (box.status != 0) return;
  const Bytes expected = SmoothReference(box);
  const Bytes got = smooth.Pixels();
  for (size_t i = 0; i < got.size(); ++i)
    ASSERT_EQ(int{got[i]}, int{expected[i]})
        << "pixel " << i / box.channels % box.width << "," << i / box.channels / box.width
        << " channel " << i % box.channels;
}

Bytes Encode(uint32_t width, uint32_t height, PeerSampling sampling, bool progressive) {
  return EncodeTestImage(width, height, sampling, 90, progressive);
}

TEST(SmoothUpsampling, FollowsTheTriangleFilterAcrossMcuAndImageEdges) {
  const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1},   {2, 2},   {3, 5},  {17, 9},
                                                 {33, 31}, {48, 32}, {63, 17}};
  for (const PeerSampling sampling : {PeerSampling::k422, PeerSampling::k420})
    for (const bool progressive : {false, true})
      for (const auto& [w, h] : sizes)
        ExpectSmoothReadFollowsTheFilter(
            Encode(w, h, sampling, progressive),
            std::to_string(w) + "x" + std::to_string(h) +
                (sampling == PeerSampling::k422 ? " 4:2:2" : " 4:2:0") +
                (progressive ? " progressive" : ""));
}

TEST(SmoothUpsampling, AShorterBufferGetsTheTopRowsOfTheWholeRead) {
  const Bytes jpeg = Encode(40, 40, PeerSampling::k420, false);
  const SampleImage whole = ReadSamples(jpeg, true);
  const SampleImage part = ReadSamples(jpeg, true, 21);
  ASSERT_EQ(whole.status, 0);
  ASSERT_EQ(part.status, 0);
  EXPECT_TRUE(part.GuardsIntact());
  const Bytes top = part.Pixels();
  EXPECT_TRUE(std::equal(top.begin(), top.end(), whole.Pixels().begin()));
}

// A stream cut short: the MCUs decoded before the end are written, the ones held back for
// their neighbours included, as far as a box read writes them.
TEST(SmoothUpsampling, AStreamCutShortKeepsItsDecodedRows) {
  const Bytes whole_jpeg = Encode(64, 1024, PeerSampling::k420, false);
  const Bytes cut(whole_jpeg.begin(), whole_jpeg.begin() + whole_jpeg.size() / 2);
  const SampleImage whole = ReadSamples(whole_jpeg, true);
  const SampleImage box = ReadSamples(cut, false);
  const SampleImage smooth = ReadSamples(cut, true);
  ASSERT_EQ(whole.status, 0);
  ASSERT_NE(box.status, 0);
  EXPECT_EQ(smooth.status, box.status);
  EXPECT_TRUE(smooth.GuardsIntact());
  const size_t row = size_t{64} * 3;
  auto written = [&](const SampleImage& image, uint32_t y) {
    const Bytes pixels = image.Pixels();
    return std::any_of(pixels.begin() + y * row, pixels.begin() + (y + 1) * row,
                       [](uint8_t b) { return b != kGuardValue; });
  };
  uint32_t rows = 0;  // the rows the box read wrote
  while (rows < 1024 && written(box, rows)) ++rows;
  ASSERT_GT(rows, 32u);
  ASSERT_LT(rows, 1024u);
  EXPECT_TRUE(written(smooth, rows - 1));
  const Bytes top = smooth.Pixels(), reference = whole.Pixels();
  EXPECT_TRUE(std::equal(top.begin(), top.begin() + 32 * row, reference.begin()));
}

// Its components come a scan at a time, so the filter would have nothing beside them.
TEST(SmoothUpsampling, ANonInterleavedImageIsRefusedBeforeAnythingIsWritten) {
  const CorpusEntry* entry = nullptr;
  for (const CorpusEntry& e : Manifest())
    if (e.IsSequential() && e.Number("noninterleaved") == 1 && e.Field("subsampling") == "420" &&
        e.Field("djpeg_status") == "ok" && e.Pixels() <= kMaxPixels)
      entry = &e;
  SETUVIA_NEED_SHARED_DATA(entry != nullptr, "non-interleaved 4:2:0 corpus file");
  const SampleImage smooth = ReadSamples(ReadFileBytes(SharedDir() / "corpus" / entry->path), true);
  EXPECT_EQ(smooth.status, JPEG_ERR_NOT_SUPPORTED) << entry->path;
  EXPECT_TRUE(std::all_of(smooth.storage.begin(), smooth.storage.end(),
                          [](uint8_t b) { return b == kGuardValue; }));
}

class SmoothCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(SmoothCorpus, FollowsTheTriangleFilter) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "shared corpus " << SharedDir() / "corpus");
  for (const CorpusEntry* entry : EntriesOf(GetParam())) {
    if (!entry->IsSequential() && !entry->IsProgressive()) continue;
    ExpectSmoothReadFollowsTheFilter(ReadFileBytes(SharedDir() / "corpus" / entry->path),
                                     entry->path,
                                     entry->IsSequential() && entry->Number("noninterleaved") == 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, SmoothCorpus, ::testing::ValuesIn(SourceParams()),
                         [](const auto& info) { return IdentifierOf(info.param); });

}  // namespace
}  // namespace setuvia::jpegtest
