// Files as the page folders expect them. Linux file names are case-sensitive but the setup
// media's are not, so a path component missing as written is looked up ignoring ASCII case;
// directories list "." and ".." first and then in case-insensitive ordinal order, because
// readdir order is arbitrary and would shuffle the pages.
#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/text.h"

namespace platform {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Every entry of a folder except "." and "..", as readdir gives them.
std::optional<std::vector<std::string>> ListFolder(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

// Case-insensitive ordinal order; names equal but for case keep a fixed byte order.
bool ListsBefore(const std::string& a, const std::string& b) {
  const int folded = CompareNoCaseAscii(a, b);
  return folded != 0 ? folded < 0 : a < b;
}

std::vector<std::string> SortedListing(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(), ListsBefore);
  return names;
}

// The entry of `folder` spelt like `component` but for ASCII case, if any (the first in
// listing order, so the choice is stable).
std::optional<std::string> MatchIgnoringCase(const std::string& folder,
                                             const std::string& component) {
  auto names = ListFolder(folder);
  if (!names) return std::nullopt;
  for (const std::string& name : SortedListing(std::move(*names))) {
    if (EqualsNoCaseAscii(name, component)) return name;
  }
  return std::nullopt;
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

std::optional<std::string> ResolvePath(const std::string& path) {
  if (path.empty()) return std::nullopt;
  if (Exists(path)) return path;
  const bool absolute = path.front() == '/';
  std::string resolved = absolute ? "/" : "";
  for (const std::string& part : SplitComponents(path)) {
    std::string candidate = resolved + part;
    if (part != "." && part != ".." && !Exists(candidate)) {
      auto match = MatchIgnoringCase(resolved, part);
      if (!match) return std::nullopt;
      candidate = resolved + *match;
    }
    resolved = candidate + "/";
  }
  if (path.back() != '/' && resolved.size() > 1) resolved.pop_back();
  return resolved;
}

bool FileExists(const std::string& path) {
  return ResolvePath(path).has_value();
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
  ReadOnlyFile file;
  if (!file.Open(path)) return std::nullopt;
  const std::uint64_t size = file.Size();
  if (size > kMaxWholeFileBytes) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (file.ReadAt(0, bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

ReadOnlyFile::~ReadOnlyFile() {
  Close();
}

// Only regular files open: a folder, a FIFO or a device is not a page or a profile, and
// reading one could block or never end.
bool ReadOnlyFile::Open(const std::string& path) {
  Close();
  const auto resolved = ResolvePath(path);
  if (!resolved) return false;
  const int fd = ::open(resolved->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

std::uint64_t ReadOnlyFile::Size() const {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t length) const {
  if (fd_ < 0) return 0;
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got = ::pread(fd_, out + done, length - done, static_cast<off_t>(offset + done));
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void ReadOnlyFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

// Only the whole-folder patterns "<folder>*.*" and "<folder>*" are used; any other pattern
// finds nothing rather than something the caller did not ask for.
bool DirectoryEnumeration::First(const std::string& pattern, std::string& name) {
  Close();
  std::string folder;
  if (pattern.ends_with("*.*")) {
    folder = pattern.substr(0, pattern.size() - 3);
  } else if (pattern.ends_with("*")) {
    folder = pattern.substr(0, pattern.size() - 1);
  } else {
    return false;
  }
  if (!folder.empty() && folder.back() != '/') return false;
  const auto resolved = folder.empty() ? std::optional<std::string>(".") : ResolvePath(folder);
  if (!resolved || !IsDirectory(*resolved)) return false;
  auto listing = ListFolder(*resolved);
  if (!listing) return false;
  names_ = {".", ".."};
  for (std::string& entry : SortedListing(std::move(*listing))) names_.push_back(std::move(entry));
  open_ = true;
  return Next(name);
}

bool DirectoryEnumeration::Next(std::string& name) {
  if (!open_ || next_ >= names_.size()) return false;
  name = names_[next_++];
  return true;
}

void DirectoryEnumeration::Close() {
  names_.clear();
  next_ = 0;
  open_ = false;
}

}  // namespace platform
