// decode_page_tool PAGE.jpg OUT.bmp: decodes a JPEG page exactly as the viewer loads it (the
// whole file handed to DecodeJpegFromMemory) and writes the page's bottom-up DIB, header and
// rows as they are, as a BMP file. The end-to-end tests compare the viewer's screenshots with
// it, so the picture on screen is checked against the decoder's own output pixel for pixel.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "image/jpeg_page.h"

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// The 14-byte file header, the 40-byte info header and the rows, in the published layout.
std::vector<std::uint8_t> BmpFile(const BitmapInfoHeader& h,
                                  const std::vector<std::uint8_t>& rows) {
  std::vector<std::uint8_t> out{'B', 'M'};
  Put(out, static_cast<std::uint32_t>(54 + rows.size()), 4);
  Put(out, 0, 4);
  Put(out, 54, 4);
  Put(out, h.biSize, 4);
  Put(out, static_cast<std::uint32_t>(h.biWidth), 4);
  Put(out, static_cast<std::uint32_t>(h.biHeight), 4);
  Put(out, h.biPlanes, 2);
  Put(out, h.biBitCount, 2);
  Put(out, h.biCompression, 4);
  Put(out, h.biSizeImage, 4);
  Put(out, static_cast<std::uint32_t>(h.biXPelsPerMeter), 4);
  Put(out, static_cast<std::uint32_t>(h.biYPelsPerMeter), 4);
  Put(out, h.biClrUsed, 4);
  Put(out, h.biClrImportant, 4);
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: decode_page_tool PAGE.jpg OUT.bmp\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  BitmapInfoHeader header;
  const std::vector<std::uint8_t> rows = DecodeJpegFromMemory(bytes.data(), bytes.size(), &header);
  if (rows.empty()) {
    std::fprintf(stderr, "%s does not decode (SETUVIA_TRACE=1 tells why)\n", argv[1]);
    return 1;
  }
  const std::vector<std::uint8_t> bmp = BmpFile(header, rows);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
  std::printf("%dx%d\n", header.biWidth, header.biHeight);
  return out ? 0 : 1;
}
