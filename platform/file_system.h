// Files as the page folders expect them: names are matched ignoring ASCII case, as on the
// setup media's file systems, and directories list in those file systems' order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The path as it exists on disk: each component that does not exist as written is
// matched ignoring ASCII case against its folder's entries. Nothing when no match exists.
std::optional<std::string> ResolvePath(const std::string& path);

// True when the path (resolved as above) names an existing file or folder.
bool FileExists(const std::string& path);

// Larger files are refused by ReadWholeFile rather than read into memory.
inline constexpr std::uint64_t kMaxWholeFileBytes = std::uint64_t{1} << 30;

// The whole content of a regular file, or nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

// A file opened for reading, for loaders that read pieces at given offsets.
class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  std::uint64_t Size() const;
  // Reads up to `length` bytes at `offset`; returns the count read (short at the end).
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t length) const;
  void Close();

 private:
  int fd_ = -1;
};

// Directory enumeration in the manner of find-first / find-next / find-close. The pattern is
// a folder path followed by "*.*"; "." and ".." come first, then every entry in ASCII
// case-insensitive ordinal order.
class DirectoryEnumeration {
 public:
  // Starts an enumeration; on success `name` holds the first entry's name.
  bool First(const std::string& pattern, std::string& name);
  // The next entry's name; false once the enumeration is exhausted.
  bool Next(std::string& name);
  void Close();
  bool IsOpen() const { return open_; }

 private:
  std::vector<std::string> names_;
  std::size_t next_ = 0;
  bool open_ = false;
};

}  // namespace platform
