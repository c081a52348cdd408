// Builds BMP page files for tests: a 14-byte file header, a 40-byte info header and bottom-up
// rows padded to 4 bytes, with every field open to change so that damaged files are easy to make.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace bmp_test {

struct BmpLayout {
  std::int32_t width = 4;
  std::int32_t height = 3;
  std::uint16_t bit_count = 24;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  std::int64_t image_size = -1;    // -1: stride x height
  std::int64_t pixel_offset = -1;  // -1: right after the headers
  std::int64_t pixel_bytes = -1;   // -1: the whole image; fewer cuts the file short
};

inline std::size_t Magnitude(std::int32_t v) {
  return static_cast<std::size_t>(v < 0 ? -std::int64_t{v} : v);
}

inline std::size_t Stride(const BmpLayout& layout) {
  return ((Magnitude(layout.width) * layout.bit_count + 31) / 32) * 4;
}

// The byte at offset i of the pixel data: a pattern that differs between rows and columns.
inline std::uint8_t PixelByte(std::size_t i) {
  return static_cast<std::uint8_t>(i * 7 + i / 13);
}

inline void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}

inline void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

inline std::vector<std::uint8_t> MakeBmp(const BmpLayout& layout) {
  const std::size_t full = Stride(layout) * Magnitude(layout.height);
  const std::size_t offset =
      layout.pixel_offset < 0 ? 54 : static_cast<std::size_t>(layout.pixel_offset);
  const std::size_t count =
      layout.pixel_bytes < 0 ? full : static_cast<std::size_t>(layout.pixel_bytes);
  std::vector<std::uint8_t> b(std::max<std::size_t>(offset, 54) + count, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, static_cast<std::uint32_t>(offset));
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(layout.width));
  Put32(b, 22, static_cast<std::uint32_t>(layout.height));
  Put16(b, 26, 1);
  Put16(b, 28, layout.bit_count);
  Put32(b, 30, layout.compression);
  Put32(b, 34, static_cast<std::uint32_t>(layout.image_size < 0 ? full : layout.image_size));
  Put32(b, 46, layout.colours_used);
  for (std::size_t i = 0; i < count; ++i) b[offset + i] = PixelByte(i);
  return b;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A fresh empty folder below the system's temporary folder, removed with the object.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name)
      : m_path(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
  }
  ~TempFolder() { std::filesystem::remove_all(m_path); }
  const std::filesystem::path& Path() const { return m_path; }
  // The folder as the viewer names folders: ending in "/".
  std::string Folder() const { return m_path.string() + "/"; }

 private:
  std::filesystem::path m_path;
};

}  // namespace bmp_test
