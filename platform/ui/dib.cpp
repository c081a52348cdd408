// DIB validation, conversion to top-down RGB (stretched by picking the nearest pixel, shrunk
// by averaging each pixel's area) and the
// DrawDib object that keeps the converted image between paints.
#include "platform/ui/dib.h"

#include <algorithm>
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

// Rows of a valid DIB by their distance from the top of the picture.
struct DibView {
  const std::uint8_t* bits;
  std::size_t stride;
  std::size_t bytes_per_pixel;
  std::uint16_t bit_count;
  std::uint64_t height;
  bool bottom_up;
  const std::uint8_t* Row(std::uint64_t from_top) const {
    return bits + (bottom_up ? height - 1 - from_top : from_top) * stride;
  }
};

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

namespace {

// Where the source rows (or columns) of each destination row begin: box i covers source
// lines first[i] .. first[i + 1] - 1, at least one. Growing, each box is the nearest line.
std::vector<std::uint64_t> BoxStarts(std::uint64_t source, int destination) {
  std::vector<std::uint64_t> first(static_cast<std::size_t>(destination) + 1);
  for (std::size_t i = 0; i < first.size(); ++i) first[i] = i * source / std::uint64_t(destination);
  return first;
}

std::uint64_t BoxEnd(const std::vector<std::uint64_t>& first, std::size_t i) {
  return std::max(first[i + 1], first[i] + 1);
}

// One destination row: the mean of its source box for every pixel (area averaging, which
// keeps thin strokes of text visible where picking one pixel would drop them).
void AverageRow(const DibView& dib, std::uint64_t from_top, std::uint64_t to_top,
                const std::vector<std::uint64_t>& columns, std::vector<std::uint64_t>& sums,
                std::uint8_t* dst) {
  std::fill(sums.begin(), sums.end(), 0);
  const std::size_t width = columns.size() - 1;
  std::uint8_t rgb[3];
  for (std::uint64_t y = from_top; y < to_top; ++y) {
    const std::uint8_t* row = dib.Row(y);
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint64_t end = BoxEnd(columns, x);
      for (std::uint64_t sx = columns[x]; sx < end; ++sx) {
        ReadPixel(row + sx * dib.bytes_per_pixel, dib.bit_count, rgb);
        for (int c = 0; c < 3; ++c) sums[x * 3 + c] += rgb[c];
      }
    }
  }
  for (std::size_t x = 0; x < width; ++x) {
    const std::uint64_t count = (to_top - from_top) * (BoxEnd(columns, x) - columns[x]);
    for (int c = 0; c < 3; ++c)
      dst[x * 3 + c] = std::uint8_t((sums[x * 3 + c] + count / 2) / count);
  }
}

// One destination row when no box spans more than one source pixel: a plain pick.
void PickRow(const DibView& dib, std::uint64_t from_top, const std::vector<std::uint64_t>& columns,
             std::uint8_t* dst) {
  const std::uint8_t* row = dib.Row(from_top);
  for (std::size_t x = 0; x + 1 < columns.size(); ++x, dst += 3)
    ReadPixel(row + columns[x] * dib.bytes_per_pixel, dib.bit_count, dst);
}

}  // namespace

RgbImage ConvertDib(const BitmapInfoHeader& header, std::span<const std::uint8_t> bits, int width,
                    int height) {
  if (ValidateDib(header, bits) != DibError::kNone || width <= 0 || height <= 0 ||
      std::uint64_t(width) * std::uint64_t(height) > kMaxDibPixels)
    return {};
  const DibView dib{bits.data(),
                    DibStride(header.biWidth, header.biBitCount),
                    std::size_t(header.biBitCount / 8),
                    header.biBitCount,
                    AbsHeight(header.biHeight),
                    header.biHeight > 0};
  const std::vector<std::uint64_t> columns = BoxStarts(std::uint64_t(header.biWidth), width);
  const std::vector<std::uint64_t> rows = BoxStarts(dib.height, height);
  const bool shrinks =
      std::uint64_t(width) < std::uint64_t(header.biWidth) || std::uint64_t(height) < dib.height;

  RgbImage out{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
  std::vector<std::uint64_t> sums(shrinks ? std::size_t(width) * 3 : 0);
  const std::size_t out_stride = std::size_t(width) * 3;
  for (std::size_t y = 0; y < std::size_t(height); ++y) {
    std::uint8_t* dst = out.rgb.data() + y * out_stride;
    if (shrinks)
      AverageRow(dib, rows[y], BoxEnd(rows, y), columns, sums, dst);
    else
      PickRow(dib, rows[y], columns, dst);
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
