// DIB validation, conversion to top-down RGB (with nearest-pixel stretching) and the
// DrawDib object that keeps the converted image between paints.
#include "platform/ui/dib.h"

#include <cstring>
#include <limits>

#include "platform/ui/backend.h"

namespace platform::ui {
namespace {

std::uint64_t AbsHeight(std::int32_t height) {
  return height < 0 ? std::uint64_t(-std::int64_t{height}) : std::uint64_t(height);
}

void ReadPixel(const std::uint8_t* p, std::uint16_t bit_count, std::uint8_t* rgb) {
  if (bit_count == 16) {
    const unsigned v = p[0] | (unsigned{p[1]} << 8);
    const auto expand = [](unsigned c) { return std::uint8_t((c << 3) | (c >> 2)); };
    rgb[0] = expand((v >> 10) & 31);
    rgb[1] = expand((v >> 5) & 31);
    rgb[2] = expand(v & 31);
  } else {  // 24 and 32 bits: B, G, R first
    rgb[0] = p[2];
    rgb[1] = p[1];
    rgb[2] = p[0];
  }
}

}  // namespace

DibError ValidateDib(const BitmapInfoHeader& header, std::span<const std::uint8_t> bits) {
  if (header.biSize < sizeof(BitmapInfoHeader) || header.biWidth <= 0 || header.biHeight == 0 ||
      header.biHeight == std::numeric_limits<std::int32_t>::min() || header.biPlanes != 1 ||
      header.biCompression != 0)
    return DibError::kBadHeader;
  const std::size_t stride = DibStride(header.biWidth, header.biBitCount);
  if (stride == 0) return DibError::kBadBitCount;
  const std::uint64_t height = AbsHeight(header.biHeight);
  if (std::uint64_t(header.biWidth) * height > kMaxDibPixels) return DibError::kTooLarge;
  if (stride * height > bits.size()) return DibError::kBufferTooSmall;
  return DibError::kNone;
}

RgbImage ConvertDib(const BitmapInfoHeader& header, std::span<const std::uint8_t> bits, int width,
                    int height) {
  if (ValidateDib(header, bits) != DibError::kNone || width <= 0 || height <= 0 ||
      std::uint64_t(width) * std::uint64_t(height) > kMaxDibPixels)
    return {};
  const std::uint64_t src_w = std::uint64_t(header.biWidth);
  const std::uint64_t src_h = AbsHeight(header.biHeight);
  const std::size_t stride = DibStride(header.biWidth, header.biBitCount);
  const std::size_t bytes_per_pixel = header.biBitCount / 8;
  const bool bottom_up = header.biHeight > 0;

  std::vector<std::size_t> column_offset(static_cast<std::size_t>(width));
  for (std::size_t x = 0; x < column_offset.size(); ++x)
    column_offset[x] = static_cast<std::size_t>(x * src_w / std::uint64_t(width)) * bytes_per_pixel;

  RgbImage out{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
  std::uint8_t* dst = out.rgb.data();
  for (int y = 0; y < height; ++y) {
    const std::uint64_t from_top = std::uint64_t(y) * src_h / std::uint64_t(height);
    const std::uint64_t row = bottom_up ? src_h - 1 - from_top : from_top;
    const std::uint8_t* src = bits.data() + row * stride;
    for (std::size_t offset : column_offset) {
      ReadPixel(src + offset, header.biBitCount, dst);
      dst += 3;
    }
  }
  return out;
}

struct DrawDib::Cache {
  const Backend* backend = nullptr;
  const std::uint8_t* bits = nullptr;
  std::size_t size = 0;
  BitmapInfoHeader header;
  int width = 0;
  int height = 0;
  std::unique_ptr<BackendImage> image;

  bool Holds(const Backend* b, const BitmapInfoHeader& h, std::span<const std::uint8_t> px, int w,
             int ht) const {
    return image && backend == b && bits == px.data() && size == px.size() && width == w &&
           height == ht && std::memcmp(&header, &h, sizeof h) == 0;
  }
};

DrawDib::DrawDib() : cache_(std::make_unique<Cache>()) {}

DrawDib::~DrawDib() = default;

bool DrawDib::Draw(const DeviceContext& dc, const Rect& dest, const BitmapInfoHeader& header,
                   std::span<const std::uint8_t> bits) {
  if (!dc || dest.IsEmpty() || ValidateDib(header, bits) != DibError::kNone) return false;
  Backend& backend = CurrentBackend();
  const int w = dest.Width();
  const int h = dest.Height();
  if (!cache_->Holds(&backend, header, bits, w, h)) {
    auto rgb = std::make_shared<RgbImage>(ConvertDib(header, bits, w, h));
    if (rgb->width == 0) return false;
    ++conversion_count_;
    *cache_ = Cache{&backend, bits.data(), bits.size(), header, w, h, backend.MakeImage(rgb)};
  }
  const Rect area = dc.area();
  backend.DrawImage(dc, dest.Offset(area.left, area.top), area, *cache_->image);
  return true;
}

void DrawDib::PixelsChanged() {
  cache_->image.reset();
}

}  // namespace platform::ui
