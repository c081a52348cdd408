// Parsing and acceptance of page BMP headers. The checks run before any allocation, and the
// allocation is bounded by the header's dimensions, never by its image-size field.
#include "image/bmp_page.h"

#include <string>
#include <utility>

namespace {

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t Le32Signed(const std::uint8_t* p) {
  return static_cast<std::int32_t>(Le32(p));
}

// The first page rule the header breaks, or nothing. The header must also be one the DIB
// drawing accepts (size at least 40, one plane), or the page would load but never show.
std::optional<std::string> FormatRefusal(const BitmapInfoHeader& h) {
  using std::to_string;
  if (h.biSize < sizeof(BitmapInfoHeader))
    return "info header of " + to_string(h.biSize) + " bytes (needs 40 or more)";
  if (h.biPlanes != 1) return to_string(h.biPlanes) + " planes (needs 1)";
  if (h.biCompression != kBiRgb)
    return "compressed (compression " + to_string(h.biCompression) + ")";
  if (h.biBitCount != 16 && h.biBitCount != 24 && h.biBitCount != 32)
    return to_string(h.biBitCount) + " bits per pixel (needs 16, 24 or 32)";
  if (h.biClrUsed != 0) return "colour table of " + to_string(h.biClrUsed) + " entries";
  if (h.biHeight < 0) return "top-down rows (negative height)";
  if (h.biWidth <= 0 || h.biHeight == 0)
    return "no pixels (" + to_string(h.biWidth) + "x" + to_string(h.biHeight) + ")";
  if (!IsShowablePageSize(h.biWidth, h.biHeight)) {
    return "too large: " + to_string(h.biWidth) + "x" + to_string(h.biHeight) + " (" +
           kShowablePageSizeText + ")";
  }
  return std::nullopt;
}

}  // namespace

BmpHeaders ParseBmpHeaders(std::span<const std::uint8_t, kBmpHeadersSize> bytes) {
  const std::uint8_t* p = bytes.data();
  BmpHeaders headers;
  headers.has_signature = p[0] == 'B' && p[1] == 'M';
  headers.pixel_offset = Le32(p + 10);
  const std::uint8_t* i = p + kBmpFileHeaderSize;
  BitmapInfoHeader& h = headers.info;
  h.biSize = Le32(i);
  h.biWidth = Le32Signed(i + 4);
  h.biHeight = Le32Signed(i + 8);
  h.biPlanes = Le16(i + 12);
  h.biBitCount = Le16(i + 14);
  h.biCompression = Le32(i + 16);
  h.biSizeImage = Le32(i + 20);
  h.biXPelsPerMeter = Le32Signed(i + 24);
  h.biYPelsPerMeter = Le32Signed(i + 28);
  h.biClrUsed = Le32(i + 32);
  h.biClrImportant = Le32(i + 36);
  return headers;
}

std::optional<std::size_t> PageBmpPixelBytes(const BmpHeaders& headers, std::uint64_t file_size,
                                             std::string* refusal) {
  const auto refuse = [refusal](std::string reason) -> std::optional<std::size_t> {
    if (refusal) *refusal = std::move(reason);
    return std::nullopt;
  };
  const BitmapInfoHeader& h = headers.info;
  if (file_size < kBmpHeadersSize) return refuse("file shorter than its headers");
  if (auto format = FormatRefusal(h))
    return refuse(headers.has_signature ? std::move(*format) : "not a BMP file");
  const std::uint64_t needed =
      static_cast<std::uint64_t>(DibStride(h.biWidth, h.biBitCount)) * h.biHeight;
  if (h.biSizeImage < needed) {
    return refuse("image size field " + std::to_string(h.biSizeImage) + " smaller than the " +
                  std::to_string(needed) + " bytes of the rows");
  }
  const std::uint64_t present =
      file_size > headers.pixel_offset ? file_size - headers.pixel_offset : 0;
  if (present < needed - needed / 2) {
    return refuse("file holds " + std::to_string(present) + " of " + std::to_string(needed) +
                  " pixel bytes");
  }
  return static_cast<std::size_t>(needed);
}
