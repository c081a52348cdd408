// Reading the shared JPEG corpus: its manifest rows and the bytes of its files.
// The tests and the benchmarks find the shared folder through SETUVIA_SHARED_DIR; when it is
// absent every reader here returns nothing, so callers can skip cleanly.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace setuvia::jpegtest {

// One manifest row: the file's path relative to the corpus folder and every column by name.
struct CorpusEntry {
  std::string path;
  std::map<std::string, std::string> fields;

  const std::string& Field(const std::string& name) const;
  long Number(const std::string& name) const;  // 0 when empty or not a number
  uint64_t Pixels() const;                     // declared width x height
  // Baseline or extended sequential, 8-bit samples, Huffman-coded: what the codec decodes.
  bool IsSequential() const;
  bool IsProgressive() const;  // SOF2, 8-bit, Huffman-coded
};

// Rows of <corpus_dir>/manifest.tsv in file order; empty when the manifest is missing.
std::vector<CorpusEntry> ReadManifest(const std::filesystem::path& corpus_dir);

// The manifest's sources (column `source`), sorted and unique: corpus tests run one case per
// source, which keeps each case short and its report readable.
std::vector<std::string> SourceNames(const std::vector<CorpusEntry>& entries);

// `text` with every character other than a letter or a digit replaced by '_'.
std::string IdentifierOf(const std::string& text);

// The whole file; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Every regular file of a folder, sorted by name; empty when the folder is missing.
std::vector<std::filesystem::path> ListFiles(const std::filesystem::path& dir);

}  // namespace setuvia::jpegtest
