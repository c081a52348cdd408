// The one-call decode: a record on the stack, a parameters read, a buffer sized from the
// frame and one image read, all through the public operations, so it behaves exactly as a
// caller of the record-based reads would see it.
#include <cstdlib>
#include <cstring>

#include "jpeg/jpeg_codec.h"

namespace {

uint32_t ChannelsOf(int32_t color) {
  switch (color) {
    case COLOR_GRAY:
      return 1;
    case COLOR_RGB:
    case COLOR_BGR:
      return 3;
    case COLOR_RGBA:
      return 4;
    default:
      return 0;
  }
}

int32_t DecodeInto(JPEG_PROPERTIES& p, int32_t color, uint8_t** pixels, uint32_t* width,
                   uint32_t* height, uint32_t* stride) {
  int32_t status = JpegRead(&p, READ_PARAMS_BUFFER);
  if (status != JPEG_SUCCESS) return status;
  const uint32_t channels = ChannelsOf(color);
  // The frame's width and height are 16-bit (T.81 B.2.2), so the size cannot overflow.
  const size_t row_bytes = size_t{p.jpeg_width} * channels;
  // Zeroed memory: rows a damaged stream never reaches are black, never old heap contents.
  auto* buffer = static_cast<uint8_t*>(std::calloc(p.jpeg_height, row_bytes));
  if (buffer == nullptr) return JPEG_ERR_MEMORY;
  p.dib_pixels = buffer;
  p.dib_width = p.jpeg_width;
  p.dib_height = static_cast<int32_t>(p.jpeg_height);
  p.dib_channels = channels;
  p.dib_color = static_cast<uint32_t>(color);
  p.dib_pad_bytes = 0;
  status = JpegRead(&p, READ_IMAGE_BUFFER);
  if (status != JPEG_SUCCESS) {
    std::free(buffer);
    return status;
  }
  *pixels = buffer;
  *width = p.jpeg_width;
  *height = p.jpeg_height;
  *stride = static_cast<uint32_t>(row_bytes);
  return JPEG_SUCCESS;
}

}  // namespace

extern "C" int32_t JpegDecodeMemory(const uint8_t* data, uint32_t size, int32_t color,
                                    uint8_t** pixels, uint32_t* width, uint32_t* height,
                                    uint32_t* stride) {
  if (pixels == nullptr || width == nullptr || height == nullptr || stride == nullptr)
    return JPEG_ERR_INVALID_PROPERTIES;
  *pixels = nullptr;
  if (data == nullptr || size == 0 || ChannelsOf(color) == 0) return JPEG_ERR_INVALID_PROPERTIES;
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  int32_t status = JpegInit(&p);
  if (status != JPEG_SUCCESS) return status;
  p.jpeg_buffer = data;
  p.jpeg_buffer_size = size;
  status = DecodeInto(p, color, pixels, width, height, stride);
  const int32_t free_status = JpegFree(&p);
  if (status == JPEG_SUCCESS && free_status != JPEG_SUCCESS) {
    std::free(*pixels);
    *pixels = nullptr;
    return free_status;
  }
  return status;
}
