// Our decoded pages against the peer decoder's (TurboJPEG with box upsampling and the accurate
// integer inverse DCT), file by file over the shared corpus. Each case covers one corpus source
// and prints one line per file: our status, the peer's, PSNR and the largest difference.
// Files the peer decodes cleanly must meet the default bounds below or the measured bound and
// reason kept for them in oracle_bounds.tsv; files the peer only decodes with a warning
// (corrupt data, concealed differently by each decoder) are reported, not bounded: the golden
// hashes pin our output for them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus_test_env.h"
#include "tests/jpeg/support/image_compare.h"
#include "tests/jpeg/support/peer_codec.h"

namespace setuvia::jpegtest {
namespace {

// Both decoders use the same transform and upsampling; what remains is the rounding of the
// inverse DCT and of the colour equations.
constexpr int kDefaultMaxDiff = 4;
constexpr double kDefaultMinPsnr = 40.0;

struct Expectation {
  int32_t status = 0;
  int max_diff = kDefaultMaxDiff;
  double min_psnr = kDefaultMinPsnr;
  std::string reason;
};

// oracle_bounds.tsv: mode (program | reported | smooth | 1/2 | 1/4 | 1/8), path, status, max_diff,
// min_psnr, reason.
std::map<std::string, Expectation> ReadExpectations() {
  std::map<std::string, Expectation> table;
  std::ifstream in(std::string(SETUVIA_SOURCE_DIR) + "/tests/jpeg/oracle_bounds.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream cells(line);
    std::string mode, path, status, max_diff, min_psnr;
    Expectation e;
    std::getline(cells, mode, '\t');
    std::getline(cells, path, '\t');
    std::getline(cells, status, '\t');
    std::getline(cells, max_diff, '\t');
    std::getline(cells, min_psnr, '\t');
    std::getline(cells, e.reason);
    e.status = std::stoi(status);
    e.max_diff = std::stoi(max_diff);
    e.min_psnr = std::stod(min_psnr);
    table[mode + " " + path] = e;
  }
  return table;
}

const Expectation& ExpectationFor(const std::string& mode, const std::string& path) {
  static const std::map<std::string, Expectation> table = ReadExpectations();
  static const Expectation kDefault;
  auto it = table.find(mode + " " + path);
  return it == table.end() ? kDefault : it->second;
}

// The status of the last step of the decode that ran.
int32_t FinalStatus(const CodecRun& run) {
  return run.image_status != CodecRun::kNotRun ? run.image_status : run.params_status;
}

// Whole reads by the colour choice, or smooth; reduced reads (program colour) by their scale.
std::string ModeName(ColorChoice color, int scale, PeerUpsampling upsampling) {
  if (scale != 1) return "1/" + std::to_string(scale);
  if (upsampling == PeerUpsampling::kSmooth) return "smooth";
  return color == ColorChoice::kAsProgram ? "program" : "reported";
}

// Decodes one file both ways, prints its line, and checks it when the peer decoded it cleanly.
void CompareWithPeer(const CorpusEntry& entry, const std::vector<uint8_t>& jpeg,
                     const CodecImage& ours, ColorChoice color, int scale = 1,
                     PeerUpsampling upsampling = PeerUpsampling::kBox) {
  const PeerFormat format = ours.run.layout.channels == 4 ? PeerFormat::kCmyk : PeerFormat::kBgr;
  const PeerImage peer = DecodeWithPeer(jpeg, format, scale, uint64_t{64} << 20, upsampling);
  const std::string mode = ModeName(color, scale, upsampling);
  const int32_t status = FinalStatus(ours.run);
  const bool comparable = ours.run.image_status != CodecRun::kNotRun && peer.decoded &&
                          peer.layout.width == ours.run.layout.width &&
                          peer.layout.height == ours.run.layout.height &&
                          peer.layout.channels == ours.run.layout.channels;
  const Difference diff =
      comparable ? CompareDibs(ours.Pixels(), peer.pixels, ours.run.layout) : Difference{};
  std::printf("oracle\t%s\t%s\tstatus %d\tpeer %s\t%s\n", mode.c_str(), entry.path.c_str(), status,
              peer.decoded ? (peer.warning ? "warning" : "ok") : "failed",
              comparable ? diff.Describe().c_str() : peer.message.c_str());
  if (!peer.decoded || peer.warning) return;

  const Expectation& expected = ExpectationFor(mode, entry.path);
  SCOPED_TRACE(entry.path + " (" + mode + ") " + expected.reason);
  EXPECT_EQ(status, expected.status) << JpegErrorText(status);
  if (expected.status != 0) return;  // a file we refuse has no pixels to compare
  ASSERT_TRUE(comparable) << "our image " << ours.run.layout.width << "x" << ours.run.layout.height
                          << "x" << ours.run.layout.channels << ", peer's " << peer.layout.width
                          << "x" << peer.layout.height << "x" << peer.layout.channels;
  EXPECT_LE(diff.max_abs, expected.max_diff) << diff.Describe();
  EXPECT_GE(diff.psnr, expected.min_psnr) << diff.Describe();
}

// True when the parameters read reported Adobe RGB or CMYK: such files are compared once more
// through the reported-colour choice.
bool ReportedColorDiffers(const CodecRun& run) {
  return (run.jpeg_channels == 3 && run.jpeg_color == COLOR_RGB) ||
         (run.jpeg_channels == 4 && run.jpeg_color == COLOR_RGBA);
}

class OracleTest : public ::testing::TestWithParam<std::string> {};

TEST_P(OracleTest, SequentialAndProgressiveFilesMatchThePeerWithinMeasuredBounds) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "shared corpus " << SharedDir() / "corpus");
  if (!ImageDecodingAvailable()) GTEST_SKIP() << "image decoding not available";
  for (const CorpusEntry* entry : EntriesOf(GetParam())) {
    if (!entry->IsSequential() && !entry->IsProgressive()) continue;
    const std::vector<uint8_t> jpeg = ReadFileBytes(SharedDir() / "corpus" / entry->path);
    const CodecImage ours = DecodeWithCodec(jpeg, ColorChoice::kAsProgram);
    ASSERT_TRUE(IsKnownStatus(FinalStatus(ours.run))) << entry->path;
    ASSERT_TRUE(ours.GuardsIntact()) << entry->path;
    if (ours.refused_as_too_large) continue;
    CompareWithPeer(*entry, jpeg, ours, ColorChoice::kAsProgram);
    if (!ReportedColorDiffers(ours.run)) continue;
    const CodecImage reported = DecodeWithCodec(jpeg, ColorChoice::kAsReported);
    ASSERT_TRUE(reported.GuardsIntact()) << entry->path;
    CompareWithPeer(*entry, jpeg, reported, ColorChoice::kAsReported);
  }
}

TEST_P(OracleTest, ReducedReadsMatchThePeersScaledDecodeWithinMeasuredBounds) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "shared corpus " << SharedDir() / "corpus");
  if (!ImageDecodingAvailable()) GTEST_SKIP() << "image decoding not available";
  for (const CorpusEntry* entry : EntriesOf(GetParam())) {
    if (!entry->IsSequential() && !entry->IsProgressive()) continue;
    const std::vector<uint8_t> jpeg = ReadFileBytes(SharedDir() / "corpus" / entry->path);
    for (const int scale : {2, 4, 8}) {
      const CodecImage ours = DecodeWithCodec(jpeg, ColorChoice::kAsProgram, scale);
      ASSERT_TRUE(IsKnownStatus(FinalStatus(ours.run))) << entry->path;
      ASSERT_TRUE(ours.GuardsIntact()) << entry->path << " at 1/" << scale;
      if (!ours.refused_as_too_large)
        CompareWithPeer(*entry, jpeg, ours, ColorChoice::kAsProgram, scale);
    }
  }
}

// The peer's triangle filter is the one smooth_upsampling asks for, for 4:2:2 and 4:2:0.
// Non-interleaved sequential files are refused by smooth reads (smooth_output_test).
TEST_P(OracleTest, SmoothReadsMatchThePeersTriangleFilterWithinMeasuredBounds) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "shared corpus " << SharedDir() / "corpus");
  if (!ImageDecodingAvailable()) GTEST_SKIP() << "image decoding not available";
  for (const CorpusEntry* entry : EntriesOf(GetParam())) {
    const std::string& sampling = entry->Field("subsampling");
    if (sampling != "420" && sampling != "422") continue;
    const bool non_interleaved = entry->Number("noninterleaved") == 1;
    if (!entry->IsProgressive() && !(entry->IsSequential() && !non_interleaved)) continue;
    const std::vector<uint8_t> jpeg = ReadFileBytes(SharedDir() / "corpus" / entry->path);
    const CodecImage ours =
        DecodeWithCodec(jpeg, ColorChoice::kAsProgram, 1, uint64_t{64} << 20, true);
    ASSERT_TRUE(IsKnownStatus(FinalStatus(ours.run))) << entry->path;
    ASSERT_TRUE(ours.GuardsIntact()) << entry->path;
    if (!ours.refused_as_too_large)
      CompareWithPeer(*entry, jpeg, ours, ColorChoice::kAsProgram, 1, PeerUpsampling::kSmooth);
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, OracleTest, ::testing::ValuesIn(SourceParams()),
                         [](const auto& info) { return IdentifierOf(info.param); });

}  // namespace
}  // namespace setuvia::jpegtest
