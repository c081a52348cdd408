// Bad input through the page loader's calling sequence: every corpus file cut at several points
// and with random bytes changed (fixed seeds), and every decoder bomb of ../shared/hostile.
// Each read must end with one of the codec's status codes and must not write outside the
// caller's buffer (guard bytes on both sides); images above 64 Mpixel are refused by the test
// before it allocates, as a caller with a memory budget would. Hostile files must merely
// finish: ctest's timeout catches a read that does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus_test_env.h"
#include "tests/jpeg/support/image_compare.h"
#include "tests/jpeg/support/peer_codec.h"

namespace setuvia::jpegtest {
namespace {

// Cut and changed copies are made only of files up to this size, to keep the run short.
constexpr uint64_t kMutatedPixelsMax = uint64_t{1} << 20;
constexpr int kFlipVariants = 6;

void ExpectCleanRead(const std::vector<uint8_t>& jpeg, const std::string& what) {
  const CodecImage image = DecodeWithCodec(jpeg, ColorChoice::kAsProgram);
  SCOPED_TRACE(what);
  EXPECT_EQ(image.run.init_status, 0);
  EXPECT_TRUE(IsKnownStatus(image.run.params_status)) << image.run.params_status;
  if (image.run.image_status != CodecRun::kNotRun) {
    EXPECT_TRUE(IsKnownStatus(image.run.image_status)) << image.run.image_status;
  }
  EXPECT_EQ(image.run.free_status, 0);
  EXPECT_TRUE(image.GuardsIntact()) << "write outside the pixel buffer";
}

// Copies cut to exact sizes, so that the sanitizers see any read past the end.
std::vector<std::vector<uint8_t>> Truncations(const std::vector<uint8_t>& jpeg) {
  const size_t n = jpeg.size();
  std::vector<std::vector<uint8_t>> cuts;
  for (size_t length : {size_t{1}, size_t{20}, n / 8, n / 4, n / 2, n * 3 / 4, n - 1})
    if (length > 0 && length < n) cuts.emplace_back(jpeg.begin(), jpeg.begin() + length);
  return cuts;
}

// Copies with 1, 2, 4 ... bytes replaced at random places (seeded by the file's path).
std::vector<std::vector<uint8_t>> Corruptions(const std::vector<uint8_t>& jpeg,
                                              const std::string& path) {
  std::vector<std::vector<uint8_t>> copies;
  if (jpeg.size() < 4) return copies;
  std::mt19937 random(
      static_cast<uint32_t>(Fnv1a64({reinterpret_cast<const uint8_t*>(path.data()), path.size()})));
  std::uniform_int_distribution<size_t> place(2, jpeg.size() - 1);
  std::uniform_int_distribution<int> flip(1, 255);
  for (int variant = 0; variant < kFlipVariants; ++variant) {
    std::vector<uint8_t> copy = jpeg;
    for (int i = 0; i < (1 << variant); ++i)
      copy[place(random)] ^= static_cast<uint8_t>(flip(random));
    copies.push_back(std::move(copy));
  }
  return copies;
}

class RobustnessTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RobustnessTest, CutAndCorruptedFilesEndWithAStatusAndStayInTheBuffer) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "shared corpus " << SharedDir() / "corpus");
  for (const CorpusEntry* entry : EntriesOf(GetParam())) {
    const std::vector<uint8_t> jpeg = ReadFileBytes(SharedDir() / "corpus" / entry->path);
    ExpectCleanRead(jpeg, entry->path);
    if (entry->Pixels() > kMutatedPixelsMax) continue;
    for (const auto& cut : Truncations(jpeg))
      ExpectCleanRead(cut, entry->path + " cut to " + std::to_string(cut.size()) + " bytes");
    int variant = 0;
    for (const auto& copy : Corruptions(jpeg, entry->path))
      ExpectCleanRead(copy, entry->path + " corrupted, variant " + std::to_string(variant++));
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, RobustnessTest, ::testing::ValuesIn(SourceParams()),
                         [](const auto& info) { return IdentifierOf(info.param); });

TEST(HostileFiles, AreRefusedOrBoundedWithoutWritingOutsideTheBuffer) {
  const std::vector<std::filesystem::path> files = ListFiles(SharedDir() / "hostile");
  SETUVIA_NEED_SHARED_DATA(!files.empty(), "hostile files " << SharedDir() / "hostile");
  for (const auto& file : files) {
    if (file.extension() == ".jpg") ExpectCleanRead(ReadFileBytes(file), file.filename());
  }
}

// A baseline picture cut at three quarters of its bytes still yields its upper rows exactly as
// the whole file does: the read decodes as far as the data allows.
TEST(TruncatedFiles, KeepTheRowsDecodedBeforeTheCut) {
  const std::vector<uint8_t> jpeg = EncodeTestImage(64, 64, PeerSampling::k420, 90);
  const CodecImage whole = DecodeWithCodec(jpeg, ColorChoice::kAsProgram);
  if (!ImageDecodingAvailable()) GTEST_SKIP() << "image decoding not available";
  ASSERT_EQ(whole.run.image_status, 0);
  const std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + jpeg.size() * 3 / 4);
  const CodecImage part = DecodeWithCodec(cut, ColorChoice::kAsProgram);
  ASSERT_TRUE(part.GuardsIntact());
  ASSERT_EQ(part.run.layout.BufferSize(), whole.run.layout.BufferSize());
  // Bottom-up: the top 16 image rows are the last 16 rows of the buffer.
  const size_t top = 16 * whole.run.layout.Stride();
  const auto whole_top = whole.Pixels().last(top);
  const auto part_top = part.Pixels().last(top);
  EXPECT_TRUE(std::equal(whole_top.begin(), whole_top.end(), part_top.begin()));
}

}  // namespace
}  // namespace setuvia::jpegtest
