// The private-profile reader. A file is parsed into its sections and keys once and kept
// until it changes on disk: the model list reads one key per call and a file may hold
// thousands of models. Lines before the first section, lines without "=" and section lines
// without "]" carry nothing and are skipped.
#include "platform/profile.h"

#include <sys/stat.h>

#include <climits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/text.h"

namespace platform {
namespace {

struct Section {
  std::string name;
  std::vector<std::pair<std::string, std::string>> keys;
};
using Profile = std::vector<Section>;

std::string DecodeText(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    return Utf16LeToUtf8(std::span(bytes).subspan(2));
  }
  const std::size_t skip =
      (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) ? 3 : 0;
  return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end());
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A value is a C string to its readers: a NUL ends it.
std::string_view UpToNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\'')) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

void ParseLine(std::string_view line, Profile& profile) {
  line = Trim(line);
  if (line.starts_with('[')) {
    const std::size_t close = line.find(']');
    if (close != std::string_view::npos)
      profile.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
    return;
  }
  const std::size_t equals = line.find('=');
  if (profile.empty() || equals == std::string_view::npos) return;
  profile.back().keys.emplace_back(std::string(Trim(line.substr(0, equals))),
                                   std::string(Unquote(Trim(UpToNul(line.substr(equals + 1))))));
}

Profile Parse(const std::string& text) {
  Profile profile;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    ParseLine(std::string_view(text).substr(start, end - start), profile);
    start = end + 1;
  }
  return profile;
}

struct FileStamp {
  std::string path;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  timespec modified{};
  bool operator==(const FileStamp& o) const {
    return path == o.path && device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
  }
};

std::optional<FileStamp> StampOf(const std::string& file) {
  const auto resolved = ResolvePath(file);
  struct stat info {};
  if (!resolved || ::stat(resolved->c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  return FileStamp{*resolved, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

// The parsed file, or nothing when it is missing or unreadable.
const Profile* LoadProfile(const std::string& file) {
  static std::optional<FileStamp> cached_stamp;
  static Profile cached;
  const auto stamp = StampOf(file);
  if (!stamp) return nullptr;
  if (cached_stamp == stamp) return &cached;
  const auto bytes = ReadWholeFile(stamp->path);
  if (!bytes) return nullptr;
  cached = Parse(DecodeText(*bytes));
  cached_stamp = stamp;
  return &cached;
}

const Section* FindSection(const std::string& section, const std::string& file) {
  const Profile* profile = LoadProfile(file);
  if (profile == nullptr) return nullptr;
  for (const Section& s : *profile) {
    if (EqualsNoCaseAscii(s.name, section)) return &s;
  }
  return nullptr;
}

// The first section of that name, then the first key of that name within it.
std::optional<std::string> FindValue(const std::string& section, const std::string& key,
                                     const std::string& file) {
  const Section* s = FindSection(section, file);
  if (s == nullptr) return std::nullopt;
  for (const auto& [name, value] : s->keys) {
    if (EqualsNoCaseAscii(name, key)) return value;
  }
  return std::nullopt;
}

// Saturates instead of wrapping, so a huge number never reads as 0.
int ParseInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    magnitude =
        std::min<long long>(magnitude * 10 + (c - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  const long long value = negative ? -magnitude : std::min<long long>(magnitude, INT_MAX);
  return static_cast<int>(value);
}

}  // namespace

std::optional<std::string> GetPrivateProfileValue(const std::string& section,
                                                  const std::string& key, const std::string& file) {
  return FindValue(section, key, file);
}

std::vector<std::string> GetPrivateProfileSectionNames(const std::string& file) {
  std::vector<std::string> names;
  if (const Profile* profile = LoadProfile(file)) {
    for (const Section& s : *profile) names.push_back(s.name);
  }
  return names;
}

std::vector<std::string> GetPrivateProfileKeyNames(const std::string& section,
                                                   const std::string& file) {
  std::vector<std::string> names;
  if (const Section* s = FindSection(section, file)) {
    for (const auto& key : s->keys) names.push_back(key.first);
  }
  return names;
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int default_value,
                         const std::string& file) {
  const auto value = FindValue(section, key, file);
  return value ? ParseInteger(*value) : default_value;
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& default_value, const std::string& file) {
  const auto value = FindValue(section, key, file);
  return CutToUtf16Units(value ? *value : default_value, kProfileTextLimit);
}

}  // namespace platform
