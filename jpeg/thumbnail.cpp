// Thumbnail delivery. Each kind is parsed into a ThumbnailPicture (size, and where its
// pixels come from) and checked against the payload and the caller's bitmap before a
// byte is written; only then is it copied.
#include "jpeg/thumbnail.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace jpeg {
namespace {

constexpr uint32_t kJfifHeaderBytes = 14;  // "JFIF\0", version, units, densities, w, h
constexpr uint32_t kJfxxHeaderBytes = 8;   // "JFXX\0", extension code, w, h
constexpr uint32_t kJfxxCodeOffset = 5;
constexpr uint32_t kPaletteBytes = 256 * 3;

enum JfxxExtension : uint8_t { kJpegCoded = 0x10, kPalette = 0x11, kRgb = 0x13 };

struct ThumbnailPicture {
  uint32_t width = 0, height = 0;
  const uint8_t* palette = nullptr;  // none: three bytes a pixel at pixels
  const uint8_t* pixels = nullptr;
};

bool FitsBitmap(const JpegState& state, uint32_t width, uint32_t height) {
  const int64_t rows = state.dib_height < 0 ? -int64_t{state.dib_height} : state.dib_height;
  return width <= state.dib_width && height <= rows;
}

// The picture at `offset`, of width x height pixels of bytes_per_pixel bytes, behind an
// optional palette; "Data error" when the payload ends before it.
int32_t Locate(const SegmentBody& body, uint32_t offset, uint32_t width, uint32_t height,
               bool with_palette, ThumbnailPicture& picture) {
  const uint64_t palette_bytes = with_palette ? kPaletteBytes : 0;
  const uint64_t pixel_bytes = uint64_t{width} * height * (with_palette ? 1 : 3);
  if (offset + palette_bytes + pixel_bytes > body.size()) return JPEG_ERR_DATA;
  picture = {width, height, with_palette ? body.data() + offset : nullptr,
             body.data() + offset + palette_bytes};
  return JPEG_SUCCESS;
}

void CopyPicture(JpegState& state, const ThumbnailPicture& picture) {
  const bool rgb = state.dib_color == COLOR_RGB;
  const uint32_t channels = state.dib_channels;
  const uint8_t* source = picture.pixels;
  for (uint32_t y = 0; y < picture.height; ++y) {
    uint8_t* out = state.output_start + static_cast<ptrdiff_t>(y) * state.row_stride;
    for (uint32_t x = 0; x < picture.width; ++x, out += channels) {
      const uint8_t* triple = picture.palette ? picture.palette + 3 * *source++ : source;
      if (picture.palette == nullptr) source += 3;
      out[0] = triple[rgb ? 0 : 2];
      out[1] = triple[1];
      out[2] = triple[rgb ? 2 : 0];
    }
  }
}

int32_t DeliverPicture(JpegState& state, const ThumbnailPicture& picture) {
  if (picture.width == 0 || picture.height == 0) return JPEG_SUCCESS;  // none announced
  state.thumb_width = picture.width;
  state.thumb_height = picture.height;
  if (!FitsBitmap(state, picture.width, picture.height)) return JPEG_ERR_THUMB_TOO_SMALL;
  if (state.dib_channels < 3) return JPEG_ERR_BYTES_PER_PIXEL;
  CopyPicture(state, picture);
  state.thumbnail_written = 1;
  return JPEG_SUCCESS;
}

// A JPEG-coded thumbnail is a whole stream: a parameters read for its size, then an image
// read into the caller's bitmap as it stands, on a record of its own.
int32_t DeliverJpegCoded(JpegState& state, const uint8_t* data, uint32_t size) {
  const auto nested = std::unique_ptr<JPEG_PROPERTIES>(new (std::nothrow) JPEG_PROPERTIES());
  if (!nested) return JPEG_ERR_MEMORY;
  JPEG_PROPERTIES& p = *nested;
  int32_t status = JpegInit(&p);
  if (status != JPEG_SUCCESS) return status;
  p.jpeg_buffer = data;
  p.jpeg_buffer_size = size;
  status = JpegRead(&p, READ_PARAMS_BUFFER);
  if (status == JPEG_SUCCESS) {
    state.thumb_width = p.jpeg_width;
    state.thumb_height = p.jpeg_height;
    if (!FitsBitmap(state, p.jpeg_width, p.jpeg_height)) status = JPEG_ERR_THUMB_TOO_SMALL;
  }
  if (status == JPEG_SUCCESS) {
    p.dib_pixels = state.dib_pixels;
    p.dib_width = state.dib_width;
    p.dib_height = state.dib_height;
    p.dib_pad_bytes = state.dib_pad_bytes;
    p.dib_channels = state.dib_channels;
    p.dib_color = state.dib_color;
    status = JpegRead(&p, READ_IMAGE_BUFFER);
    if (status == JPEG_SUCCESS) state.thumbnail_written = 1;
  }
  (void)JpegFree(&p);
  return status;
}

}  // namespace

int32_t DeliverThumbnail(JpegState& state, const SegmentBody& body) {
  ThumbnailPicture picture;
  int32_t status = JPEG_SUCCESS;
  if (std::memcmp(body.data(), "JFIF", 5) == 0) {
    status = Locate(body, kJfifHeaderBytes, body[12], body[13], false, picture);
  } else if (std::memcmp(body.data(), "JFXX", 5) == 0) {
    switch (body[kJfxxCodeOffset]) {
      case kJpegCoded:
        return DeliverJpegCoded(state, body.data() + kJfxxCodeOffset + 1,
                                body.size() - kJfxxCodeOffset - 1);
      case kPalette:
        status = Locate(body, kJfxxHeaderBytes, body[6], body[7], true, picture);
        break;
      case kRgb:
        status = Locate(body, kJfxxHeaderBytes, body[6], body[7], false, picture);
        break;
      default:
        return JPEG_SUCCESS;
    }
  }
  return status == JPEG_SUCCESS ? DeliverPicture(state, picture) : status;
}

}  // namespace jpeg
