// Parameter reads of every file of the shared corpus, from memory and from the file,
// checked against manifest.tsv: size, component count, subsampling and colour codes
// for the files the codec takes, the refusal codes for the processes it refuses, and
// for every other file a status and agreement between the two sources.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/corpus_test_env.h"

namespace {

using Row = std::map<std::string, std::string>;

const std::string kCorpus = std::string(SETUVIA_SHARED_DIR) + "/corpus/";

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();
  return fields;
}

std::vector<Row> ReadManifest() {
  std::ifstream in(kCorpus + "manifest.tsv");
  std::string line;
  std::vector<Row> rows;
  if (!std::getline(in, line)) return rows;
  const std::vector<std::string> names = SplitTabs(line);
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = SplitTabs(line);
    Row row;
    for (size_t i = 0; i < names.size() && i < fields.size(); ++i) row[names[i]] = fields[i];
    rows.push_back(row);
  }
  return rows;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct ReadResult {
  int32_t status;
  JPEG_PROPERTIES p;
};

ReadResult ReadParams(const std::vector<uint8_t>& bytes, const char* file) {
  ReadResult r;
  std::memset(&r.p, 0, sizeof r.p);
  EXPECT_EQ(JpegInit(&r.p), 0);
  r.p.jpeg_buffer = bytes.data();
  r.p.jpeg_buffer_size = static_cast<uint32_t>(bytes.size());
  r.p.jpeg_file = file;
  r.status = JpegRead(&r.p, file ? READ_PARAMS_FILE : READ_PARAMS_BUFFER);
  EXPECT_EQ(JpegFree(&r.p), 0);
  return r;
}

// The subsampling code of the manifest's "HxV,HxV,..." sampling list.
uint32_t ExpectedSubsampling(const std::string& sampling, int n) {
  std::vector<std::string> f;
  std::stringstream in(sampling);
  for (std::string s; std::getline(in, s, ',');) f.push_back(s);
  auto all = [&](const char* v) {
    for (auto& s : f)
      if (s != v) return false;
    return true;
  };
  if (n == 1 || ((n == 2 || n == 3 || n == 4) && all("1x1"))) return SUBSAMPLING_NONE;
  if (n == 3 && f[1] == "1x1" && f[2] == "1x1") {
    if (f[0] == "2x2") return SUBSAMPLING_H2V2;
    if (f[0] == "2x1") return SUBSAMPLING_H2V1;
  }
  if (n == 4 && f[1] == "1x1" && f[2] == "1x1" && f[0] == f[3]) {
    if (f[0] == "2x2") return SUBSAMPLING_H2V2_4CH;
    if (f[0] == "2x1") return SUBSAMPLING_H2V1_4CH;
  }
  return SUBSAMPLING_OTHER;
}

uint32_t ExpectedColor(const Row& m, int n) {
  if (m.at("adobe") == "1") {
    const bool transform = m.at("adobe_transform") != "0";
    if (n == 1) return COLOR_GRAY;
    if (n == 3) return transform ? COLOR_YCBCR : COLOR_RGB;
    if (n == 4) return transform ? COLOR_YCBCRA : COLOR_RGBA;
  }
  if (n == 1) return COLOR_GRAY;
  return COLOR_YCBCR;  // JFIF, or the default the record starts with
}

bool Refused(const Row& m) {
  return m.at("arithmetic") == "1" || m.at("lossless") == "1" || m.at("hierarchical") == "1" ||
         (m.at("precision") != "8" && !m.at("precision").empty() && m.at("precision") != "0") ||
         (m.at("height") == "0" && !m.at("sof").empty());
}

// A well-formed file of a process the codec takes.
bool Clean(const Row& m) {
  return m.at("kind") == "test" && m.at("category") != "truncated_corrupt" && !Refused(m) &&
         m.at("problems").empty() && !m.at("sof").empty();
}

class CorpusParams : public ::testing::Test {
 protected:
  void SetUp() override {
    rows_ = ReadManifest();
    SETUVIA_NEED_SHARED_DATA(!rows_.empty(), "shared corpus " << kCorpus);
  }
  std::vector<Row> rows_;
};

TEST_F(CorpusParams, CleanFilesReportTheirFrame) {
  int checked = 0;
  for (const Row& m : rows_) {
    if (!Clean(m)) continue;
    SCOPED_TRACE(m.at("path"));
    const std::vector<uint8_t> bytes = ReadFile(kCorpus + m.at("path"));
    const ReadResult r = ReadParams(bytes, nullptr);
    ASSERT_EQ(r.status, 0);
    const int n = std::stoi(m.at("ncomp"));
    EXPECT_EQ(r.p.jpeg_width, std::stoul(m.at("width")));
    EXPECT_EQ(r.p.jpeg_height, std::stoul(m.at("height")));
    EXPECT_EQ(r.p.jpeg_channels, static_cast<uint32_t>(n));
    EXPECT_EQ(r.p.jpeg_subsampling, ExpectedSubsampling(m.at("sampling"), n));
    EXPECT_EQ(r.p.jpeg_color, ExpectedColor(m, n));
    ++checked;
  }
  EXPECT_GT(checked, 100);
}

TEST_F(CorpusParams, RefusedProcessesGetTheirCodes) {
  for (const Row& m : rows_) {
    if (!Refused(m) || m.at("kind") != "test") continue;
    SCOPED_TRACE(m.at("path"));
    const ReadResult r = ReadParams(ReadFile(kCorpus + m.at("path")), nullptr);
    if (m.at("sof") == "SOF55")
      EXPECT_EQ(r.status, JPEG_ERR_NO_FRAME);  // JPEG-LS frames are not T.81 frames
    else if (m.at("height") == "0" && m.at("precision") == "8" && m.at("arithmetic") != "1" &&
             m.at("lossless") != "1" && m.at("hierarchical") != "1")
      EXPECT_EQ(r.status, JPEG_ERR_DNL);
    else
      EXPECT_EQ(r.status, JPEG_ERR_UNSUPPORTED_FRAME);
  }
}

TEST_F(CorpusParams, EveryFileGivesAStatusAndFileReadsAgree) {
  for (const Row& m : rows_) {
    SCOPED_TRACE(m.at("path"));
    const std::string path = kCorpus + m.at("path");
    const std::vector<uint8_t> bytes = ReadFile(path);
    const ReadResult memory = ReadParams(bytes, nullptr);
    const ReadResult file = ReadParams(bytes, path.c_str());
    EXPECT_LE(memory.status, 0);
    if (memory.status == JPEG_ERR_MEMORY) {
      EXPECT_EQ(file.status, JPEG_ERR_FILE);  // the stream ended inside the headers
    } else if (!bytes.empty()) {
      EXPECT_EQ(file.status, memory.status);
    }
    if (memory.status == 0) {
      EXPECT_EQ(file.p.jpeg_width, memory.p.jpeg_width);
      EXPECT_EQ(file.p.jpeg_color, memory.p.jpeg_color);
    }
  }
}

}  // namespace
