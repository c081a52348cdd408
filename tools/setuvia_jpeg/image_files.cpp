// Encodes a raster into the three output formats and writes files whole or not at all.
// PNM and BMP are written by hand (a header and the rows); PNG goes through libpng.
#include "tools/setuvia_jpeg/image_files.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace setuvia_jpeg {
namespace {

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> EncodePnm(const Raster& r) {
  std::string header;
  if (r.channels == 4) {
    header = "P7\nWIDTH " + std::to_string(r.width) + "\nHEIGHT " + std::to_string(r.height) +
             "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  } else {
    header = std::string(r.channels == 1 ? "P5\n" : "P6\n") + std::to_string(r.width) + " " +
             std::to_string(r.height) + "\n255\n";
  }
  std::vector<uint8_t> out(header.begin(), header.end());
  out.insert(out.end(), r.pixels.begin(), r.pixels.end());
  return out;
}

// BMP rows run bottom-up in BGR(A) order, padded to 4 bytes; grey uses a 256-entry palette.
std::vector<uint8_t> EncodeBmp(const Raster& r) {
  const uint32_t row_bytes = (r.width * r.channels + 3) & ~3u;
  const uint32_t palette_bytes = r.channels == 1 ? 256 * 4 : 0;
  const uint32_t offset = 14 + 40 + palette_bytes;
  std::vector<uint8_t> out;
  out.reserve(offset + row_bytes * r.height);
  out.push_back('B');
  out.push_back('M');
  PutLittleEndian(out, offset + row_bytes * r.height, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, offset, 4);
  PutLittleEndian(out, 40, 4);
  PutLittleEndian(out, r.width, 4);
  PutLittleEndian(out, r.height, 4);
  PutLittleEndian(out, 1, 2);
  PutLittleEndian(out, r.channels * 8, 2);
  PutLittleEndian(out, 0, 4);  // uncompressed
  PutLittleEndian(out, row_bytes * r.height, 4);
  PutLittleEndian(out, 2835, 4);  // 72 dpi
  PutLittleEndian(out, 2835, 4);
  PutLittleEndian(out, r.channels == 1 ? 256 : 0, 4);
  PutLittleEndian(out, 0, 4);
  for (uint32_t i = 0; i < palette_bytes / 4; ++i) PutLittleEndian(out, i * 0x010101u, 4);
  for (uint32_t y = r.height; y-- > 0;) {
    const uint8_t* row = r.pixels.data() + static_cast<size_t>(y) * r.width * r.channels;
    for (uint32_t x = 0; x < r.width; ++x, row += r.channels) {
      if (r.channels == 1) {
        out.push_back(row[0]);
        continue;
      }
      out.insert(out.end(), {row[2], row[1], row[0]});
      if (r.channels == 4) out.push_back(row[3]);
    }
    out.resize(out.size() + row_bytes - r.width * r.channels, 0);
  }
  return out;
}

void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

std::vector<uint8_t> EncodePng(const Raster& r) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return {};
  }
  const int color_type = r.channels == 1   ? PNG_COLOR_TYPE_GRAY
                         : r.channels == 3 ? PNG_COLOR_TYPE_RGB
                                           : PNG_COLOR_TYPE_RGB_ALPHA;
  png_set_write_fn(png, &out, AppendPngBytes, nullptr);
  png_set_IHDR(png, info, r.width, r.height, 8, color_type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (uint32_t y = 0; y < r.height; ++y) {
    png_write_row(png, r.pixels.data() + static_cast<size_t>(y) * r.width * r.channels);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeRaster(const Raster& raster, OutputFormat format) {
  switch (format) {
    case OutputFormat::kBmp:
      return EncodeBmp(raster);
    case OutputFormat::kPng:
      return EncodePng(raster);
    case OutputFormat::kPnm:
      break;
  }
  return EncodePnm(raster);
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string& error) {
  if (path == "-") {
    if (WriteAll(STDOUT_FILENO, bytes)) return true;
    error = std::string("cannot write to standard output: ") + std::strerror(errno);
    return false;
  }
  std::string temp = path + ".partXXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = "cannot create " + temp + ": " + std::strerror(errno);
    return false;
  }
  const mode_t mask = umask(0);
  umask(mask);
  bool ok = fchmod(fd, 0666 & ~mask) == 0 && WriteAll(fd, bytes);
  int saved = errno;
  ok = (close(fd) == 0) && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  saved = ok ? errno : saved;
  unlink(temp.c_str());
  error = "cannot write " + path + ": " + std::strerror(saved);
  return false;
}

}  // namespace setuvia_jpeg
