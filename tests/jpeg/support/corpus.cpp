// Manifest parsing (tab-separated, first line names the columns) and whole-file reading.
#include "tests/jpeg/support/corpus.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>

namespace setuvia::jpegtest {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  std::string cell;
  std::istringstream in(line);
  while (std::getline(in, cell, '\t')) cells.push_back(cell);
  if (!line.empty() && line.back() == '\t') cells.emplace_back();
  return cells;
}

}  // namespace

const std::string& CorpusEntry::Field(const std::string& name) const {
  static const std::string kEmpty;
  auto it = fields.find(name);
  return it == fields.end() ? kEmpty : it->second;
}

long CorpusEntry::Number(const std::string& name) const {
  const std::string& text = Field(name);
  long value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

uint64_t CorpusEntry::Pixels() const {
  return static_cast<uint64_t>(Number("width")) * static_cast<uint64_t>(Number("height"));
}

bool CorpusEntry::IsSequential() const {
  const std::string& sof = Field("sof");
  return (sof == "SOF0" || sof == "SOF1") && Number("precision") == 8 && Number("arithmetic") == 0;
}

bool CorpusEntry::IsProgressive() const {
  return Field("sof") == "SOF2" && Number("precision") == 8 && Number("arithmetic") == 0;
}

std::vector<CorpusEntry> ReadManifest(const std::filesystem::path& corpus_dir) {
  std::ifstream in(corpus_dir / "manifest.tsv");
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  const std::vector<std::string> columns = SplitTabs(line);
  std::vector<CorpusEntry> entries;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    const std::vector<std::string> cells = SplitTabs(line);
    CorpusEntry entry;
    for (size_t i = 0; i < columns.size() && i < cells.size(); ++i)
      entry.fields[columns[i]] = cells[i];
    entry.path = entry.Field("path");
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<std::string> SourceNames(const std::vector<CorpusEntry>& entries) {
  std::vector<std::string> names;
  for (const CorpusEntry& entry : entries) names.push_back(entry.Field("source"));
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::string IdentifierOf(const std::string& text) {
  std::string id = text;
  for (char& c : id)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return id;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::filesystem::path> ListFiles(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(dir, error))
    if (item.is_regular_file()) files.push_back(item.path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace setuvia::jpegtest
