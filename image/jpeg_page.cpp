// The JPEG adapter: one codec record per page, a parameter read to learn the size,
// a bottom-up buffer with rows padded to 4 bytes, one image read into it. Failures
// are silent apart from the trace lines; the caller gets an empty buffer.
#include "image/jpeg_page.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "platform/trace.h"

namespace {

unsigned PointerText(const std::uint8_t* bytes) {
  return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(bytes));
}

// The output layout the page uses for the frame's component count, in the colour the
// parameters read reported: an RGB-coded page stays RGB (written as BGR), and four
// components are CMYK unless the Adobe marker says YCCK. Either way the codec writes
// them as Adobe-inverted C, M, Y, K (YCCK through its YCbCrA path), which the post-pass
// turns into the screen's blue, green and red.
void ChooseOutputFormat(JPEG_PROPERTIES& p) {
  switch (p.jpeg_channels) {
    case 1:
      p.jpeg_color = COLOR_GRAY;
      p.dib_channels = 3;
      p.dib_color = COLOR_BGR;
      break;
    case 3:
      p.jpeg_color = p.jpeg_color == COLOR_RGB ? COLOR_RGB : COLOR_YCBCR;
      p.dib_channels = 3;
      p.dib_color = COLOR_BGR;
      break;
    case 4:
      p.jpeg_color = p.jpeg_color == COLOR_YCBCRA ? COLOR_YCBCRA : COLOR_RGBA;
      p.dib_channels = 4;
      p.dib_color = COLOR_RGBA;
      break;
    default:
      p.jpeg_color = COLOR_OTHER;
      p.dib_channels = p.jpeg_channels;
      p.dib_color = COLOR_OTHER;
      break;
  }
}

bool Allocate(std::vector<std::uint8_t>& pixels, std::uint64_t size) {
  try {
    pixels.resize(size);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::vector<std::uint8_t> Fail(JPEG_PROPERTIES& p, PageLoadFailure* failure, const char* step,
                               std::string reason) {
  (void)JpegFree(&p);
  platform::Trace("Error reading JPEG from memory\n");
  if (failure) *failure = {step, std::move(reason)};
  return {};
}

std::string SizeText(const JPEG_PROPERTIES& p) {
  return std::to_string(p.jpeg_width) + "x" + std::to_string(p.jpeg_height);
}

// The bitmap the image read filled: dib_width x |dib_height|.
void FillHeader(const JPEG_PROPERTIES& p, std::size_t size, BitmapInfoHeader* header) {
  if (header == nullptr) return;
  *header = BitmapInfoHeader{};
  header->biWidth = static_cast<std::int32_t>(p.dib_width);
  header->biHeight = -p.dib_height;
  header->biBitCount = static_cast<std::uint16_t>(8 * p.dib_channels);
  header->biSizeImage = static_cast<std::uint32_t>(size);
}

}  // namespace

std::vector<std::uint8_t> DecodeJpegFromMemory(const std::uint8_t* bytes, std::size_t size,
                                               BitmapInfoHeader* header, PageLoadFailure* failure,
                                               const ShownSize& shown, PageExtent* page_size) {
  if (bytes == nullptr || size == 0) {
    if (failure) *failure = {"file read failed", "empty file"};
    return {};
  }
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  if (const std::int32_t status = JpegInit(&p); status != 0) {
    platform::Trace("Cannot initialize JPEG library\n");
    return Fail(p, failure, "codec start failed", JpegErrorText(status));
  }
  p.jpeg_buffer = bytes;
  p.jpeg_buffer_size = static_cast<std::uint32_t>(size);
  if (const std::int32_t status = JpegRead(&p, READ_PARAMS_BUFFER); status != 0) {
    platform::Trace("Cannot read JPEG file header from memory: %X\n", PointerText(bytes));
    return Fail(p, failure, "header read failed", JpegErrorText(status));
  }
  if (page_size != nullptr)
    *page_size = {static_cast<int>(p.jpeg_width), static_cast<int>(p.jpeg_height)};
  const std::uint32_t scale =
      shown ? PageReduction(p.jpeg_width, p.jpeg_height,
                            shown(static_cast<int>(p.jpeg_width), static_cast<int>(p.jpeg_height)))
            : 1;
  const std::uint64_t buffer_size = SetJpegPageOutput(p, scale);
  std::vector<std::uint8_t> pixels;
  // A frame may claim up to 65535 x 65535 pixels in a few bytes; a page that no window or
  // drawing could show is refused like a failed allocation instead of being zero-filled.
  if (!IsShowablePageSize(p.jpeg_width, p.jpeg_height)) {
    platform::Trace("Cannot allocate memory for image\n");
    return Fail(p, failure, "too large", SizeText(p) + " (" + kShowablePageSizeText + ")");
  }
  if (!Allocate(pixels, buffer_size)) {
    platform::Trace("Cannot allocate memory for image\n");
    return Fail(p, failure, "out of memory", SizeText(p) + " pixels");
  }
  p.dib_pixels = pixels.data();
  if (const std::int32_t status = JpegRead(&p, JpegScaledReadMode(scale)); status != 0) {
    platform::Trace("Cannot read image data from memory %X\n", PointerText(bytes));
    return Fail(p, failure, "image read failed", JpegErrorText(status));
  }
  if (JpegFree(&p) != 0) platform::Trace("Cannot free JPEG library");
  if (p.dib_color == COLOR_RGBA)
    ConvertRgbaToBgraPremultiplied(pixels.data(), p.dib_width,
                                   static_cast<std::uint32_t>(-p.dib_height));
  FillHeader(p, pixels.size(), header);
  return pixels;
}

std::uint64_t SetJpegPageOutput(JPEG_PROPERTIES& p, std::uint32_t scale) {
  ChooseOutputFormat(p);
  const std::uint32_t width = JpegScaledExtent(p.jpeg_width, scale),
                      height = JpegScaledExtent(p.jpeg_height, scale);
  const std::uint64_t row_bytes = std::uint64_t{width} * p.dib_channels;
  p.dib_width = width;
  p.dib_height = -static_cast<std::int32_t>(height);
  p.dib_pad_bytes = static_cast<std::uint32_t>((row_bytes + 3) / 4 * 4 - row_bytes);
  return (row_bytes + p.dib_pad_bytes) * height;
}

std::uint32_t PageReduction(std::uint32_t width, std::uint32_t height, const PageExtent& shown) {
  for (const std::uint32_t scale : {8u, 4u, 2u})
    if (std::int64_t{JpegScaledExtent(width, scale)} >= shown.width &&
        std::int64_t{JpegScaledExtent(height, scale)} >= shown.height)
      return scale;
  return 1;
}

void ConvertRgbaToBgraPremultiplied(std::uint8_t* pixels, std::uint32_t width,
                                    std::uint32_t height) {
  const std::size_t count = std::size_t{width} * height;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint8_t* px = pixels + 4 * i;
    const unsigned a = px[3];
    const std::uint8_t c0 = px[0], c1 = px[1], c2 = px[2];
    px[0] = static_cast<std::uint8_t>((c2 * a + 1) >> 8);
    px[1] = static_cast<std::uint8_t>((c1 * a + 1) >> 8);
    px[2] = static_cast<std::uint8_t>((c0 * a + 1) >> 8);
  }
}
