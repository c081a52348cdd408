// The two headers at the start of a BMP page file, and the rules a BMP must meet to be shown
// as a page: uncompressed, bottom-up, 16, 24 or 32 bits per pixel, no colour table, and an
// image size that covers every row. Anything else is refused, so that loading and drawing
// never step outside the pixel buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "image/bitmap_info_header.h"

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpHeadersSize = kBmpFileHeaderSize + sizeof(BitmapInfoHeader);

struct BmpHeaders {
  bool has_signature = false;      // the file starts with "BM" (only the refusal reason uses it)
  std::uint32_t pixel_offset = 0;  // from the start of the file
  BitmapInfoHeader info;
};

// Reads the file header's signature and pixel-data offset and the info header (little-endian).
BmpHeaders ParseBmpHeaders(std::span<const std::uint8_t, kBmpHeadersSize> bytes);

// The bytes of pixel data to allocate and read for a page BMP of `file_size` bytes: the row
// stride x height. Nothing when the headers are not those of a page, or when the file holds
// less than half of those bytes (a header claiming far more than the file holds is damaged;
// a page cut short near its end still shows, its missing rows reading as zero). A refused
// file also gets the rule it broke in `refusal` (when given).
std::optional<std::size_t> PageBmpPixelBytes(const BmpHeaders& headers, std::uint64_t file_size,
                                             std::string* refusal = nullptr);
