// Writes a decoded raster as PNM (PGM, PPM or PAM), BMP or PNG. A file is written under a
// temporary name beside its destination and renamed only once it is whole, so a failed
// write never leaves a partial file; "-" writes to standard output.
#ifndef SETUVIA_TOOLS_SETUVIA_JPEG_IMAGE_FILES_H
#define SETUVIA_TOOLS_SETUVIA_JPEG_IMAGE_FILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "tools/setuvia_jpeg/cli_options.h"

namespace setuvia_jpeg {

// Top-down rows without padding: grey (1), RGB (3) or RGBA (4) samples per pixel.
struct Raster {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t channels = 0;
  std::vector<uint8_t> pixels;
};

// The encoded file's bytes.
std::vector<uint8_t> EncodeRaster(const Raster& raster, OutputFormat format);

// Writes bytes to `path` ("-": standard output); false with a reason on failure.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace setuvia_jpeg

#endif  // SETUVIA_TOOLS_SETUVIA_JPEG_IMAGE_FILES_H
