// Parsing and acceptance of page BMP headers. The checks run before any allocation, and the
// allocation is bounded by the header's dimensions, never by its image-size field.
#include "image/bmp_page.h"

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

// DibStride is 0 for any bit count but 16, 24 and 32. The header must also be one the DIB
// drawing accepts (size at least 40, one plane), or the page would load but never show.
bool IsPageFormat(const BitmapInfoHeader& h) {
  return h.biSize >= sizeof(BitmapInfoHeader) && h.biPlanes == 1 && h.biCompression == kBiRgb &&
         DibStride(h.biWidth, h.biBitCount) != 0 && h.biClrUsed == 0 && h.biHeight > 0 &&
         h.biWidth <= kMaxPageDimension && h.biHeight <= kMaxPageDimension;
}

}  // namespace

BmpHeaders ParseBmpHeaders(std::span<const std::uint8_t, kBmpHeadersSize> bytes) {
  const std::uint8_t* p = bytes.data();
  BmpHeaders headers;
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

std::optional<std::size_t> PageBmpPixelBytes(const BmpHeaders& headers, std::uint64_t file_size) {
  const BitmapInfoHeader& h = headers.info;
  if (!IsPageFormat(h)) return std::nullopt;
  const std::uint64_t needed =
      static_cast<std::uint64_t>(DibStride(h.biWidth, h.biBitCount)) * h.biHeight;
  if (h.biSizeImage < needed) return std::nullopt;
  const std::uint64_t present =
      file_size > headers.pixel_offset ? file_size - headers.pixel_offset : 0;
  if (present < needed - needed / 2) return std::nullopt;
  return static_cast<std::size_t>(needed);
}
