// Golden hashes of our own decoded output, one table per corpus source in golden/<source>.tsv,
// so that any change in what the codec produces is a conscious one. Every corpus file is read
// as the page loader reads it, with the plain routines (processor class 0, the reference
// output) and again with the SSE2 class (6), whose kernels must give the same bytes; each row
// holds both statuses, the size and the FNV-1a hash of the pixel buffer.
//
// After an intended change of output, regenerate the tables and review the diff:
//   SETUVIA_UPDATE_GOLDEN=1 ctest --test-dir build-debug -R jpeg_golden_test
//   git diff tests/jpeg/golden
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus_test_env.h"
#include "tests/jpeg/support/image_compare.h"

namespace setuvia::jpegtest {
namespace {

std::string GoldenPath(const std::string& source) {
  return std::string(SETUVIA_SOURCE_DIR) + "/tests/jpeg/golden/" + IdentifierOf(source) + ".tsv";
}

// One row: path, params status, image status, width x height x channels, hash (or "-").
std::string GoldenRow(const CorpusEntry& entry) {
  const std::vector<uint8_t> jpeg = ReadFileBytes(SharedDir() / "corpus" / entry.path);
  const CodecImage image = DecodeWithCodec(jpeg, ColorChoice::kAsProgram);
  char hash[32] = "-";
  if (image.run.image_status != CodecRun::kNotRun)
    std::snprintf(hash, sizeof hash, "%016" PRIx64, Fnv1a64(image.Pixels()));
  char row[512];
  std::snprintf(row, sizeof row, "%s\t%d\t%d\t%ux%ux%u\t%s", entry.path.c_str(),
                image.run.params_status, image.run.image_status, image.run.layout.width,
                image.run.layout.height, image.run.layout.channels, hash);
  return row;
}

std::map<std::string, std::string> ReadGolden(const std::string& file) {
  std::map<std::string, std::string> rows;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '#') rows[line.substr(0, line.find('\t'))] = line;
  return rows;
}

void WriteGolden(const std::string& file, const std::vector<std::string>& rows) {
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  std::ofstream out(file);
  out << "# Golden output of our codec; see tests/jpeg/golden_test.cpp for how to regenerate.\n"
         "# path\tparams status\timage status\twidth x height x channels\tFNV-1a 64 of pixels\n";
  for (const std::string& row : rows) out << row << '\n';
}

std::vector<std::string> GoldenRows(const std::string& source, const char* processor_class) {
  setenv("SETUVIA_JPEG_USECPU", processor_class, 1);
  std::vector<std::string> rows;
  for (const CorpusEntry* entry : EntriesOf(source)) rows.push_back(GoldenRow(*entry));
  unsetenv("SETUVIA_JPEG_USECPU");
  return rows;
}

class GoldenTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenTest, DecodedOutputMatchesTheGoldenHashes) {
  SETUVIA_NEED_SHARED_DATA(!Manifest().empty(), "shared corpus " << SharedDir() / "corpus");
  if (!ImageDecodingAvailable()) GTEST_SKIP() << "image decoding not available";
  const std::vector<std::string> rows = GoldenRows(GetParam(), "0");
  const std::string file = GoldenPath(GetParam());
  const char* update = std::getenv("SETUVIA_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    WriteGolden(file, rows);
    GTEST_SKIP() << "rewrote " << file;
  }
  SETUVIA_NEED_SHARED_DATA(std::filesystem::exists(file), "golden table " << file);
  const std::map<std::string, std::string> golden = ReadGolden(file);
  for (const std::string& row : rows) {
    const std::string path = row.substr(0, row.find('\t'));
    auto it = golden.find(path);
    EXPECT_TRUE(it != golden.end() && it->second == row)
        << "output changed: " << row
        << "\n  golden: " << (it == golden.end() ? std::string("(none)") : it->second)
        << "\n  if intended, regenerate with SETUVIA_UPDATE_GOLDEN=1 (see golden_test.cpp)";
  }
  EXPECT_EQ(GoldenRows(GetParam(), "6"), rows) << "the SSE2 class differs from the plain one";
}

INSTANTIATE_TEST_SUITE_P(Corpus, GoldenTest, ::testing::ValuesIn(SourceParams()),
                         [](const auto& info) { return IdentifierOf(info.param); });

}  // namespace
}  // namespace setuvia::jpegtest
