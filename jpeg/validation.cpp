// Validation of a read request, in a fixed order so that each failure has one code:
// mode, pixel buffer (image reads), input source, component count, colours, options.
#include "jpeg/validation.h"

#include <cstddef>
#include <cstdlib>

#include "jpeg/coefficient_output.h"
#include "jpeg/read_modes.h"

namespace jpeg {
namespace {

// Rows lie at output_start + y * row_stride with a 32-bit stride, so the stride must
// fit it and the whole buffer must lie inside the address space; a pad of 2^31 bytes
// would otherwise wrap the stride and send rows far outside the buffer.
bool BufferExtentFits(const JPEG_PROPERTIES& p) {
  const int64_t stride = int64_t{p.dib_width} * p.dib_channels + int64_t{p.dib_pad_bytes};
  if (stride > INT32_MAX) return false;
  const uint64_t extent = static_cast<uint64_t>(stride) * std::llabs(int64_t{p.dib_height});
  const auto start = reinterpret_cast<uintptr_t>(p.dib_pixels);
  return extent <= static_cast<uint64_t>(PTRDIFF_MAX) && extent <= UINTPTR_MAX - start;
}

int32_t ValidatePixelBuffer(const JPEG_PROPERTIES& p, int32_t mode) {
  if (p.dib_pixels == nullptr) return JPEG_ERR_INVALID_PROPERTIES;
  if (p.dib_width == 0 || p.dib_width > 65535) return JPEG_ERR_INVALID_PROPERTIES;
  if (p.dib_height < -65535 || p.dib_height > 65535) return JPEG_ERR_INVALID_PROPERTIES;
  if (IsThumbnailMode(mode) && p.dib_color != COLOR_RGB && p.dib_color != COLOR_BGR)
    return JPEG_ERR_THUMB_COLOR;
  if (p.dib_channels == 0 || p.dib_channels >= 256) return JPEG_ERR_INVALID_PROPERTIES;
  if (p.dib_subsampling != 0 && !(p.dib_subsampling == 2 && p.dib_color == COLOR_YCBCR))
    return JPEG_ERR_SUBSAMPLING;
  return BufferExtentFits(p) ? JPEG_SUCCESS : JPEG_ERR_INVALID_PROPERTIES;
}

int32_t ValidateSource(const JPEG_PROPERTIES& p, int32_t mode) {
  if (IsFileMode(mode)) return p.jpeg_file != nullptr ? JPEG_SUCCESS : JPEG_ERR_INVALID_PROPERTIES;
  return p.jpeg_buffer != nullptr && p.jpeg_buffer_size != 0 ? JPEG_SUCCESS
                                                             : JPEG_ERR_INVALID_PROPERTIES;
}

bool IsRgbLike(uint32_t color, uint32_t channels) {
  return (color == COLOR_RGB && channels == 3) || (color == COLOR_BGR && channels == 3) ||
         (color == COLOR_RGBA && channels == 4);
}

}  // namespace

bool IsAcceptedColorCombination(uint32_t jpeg_color, uint32_t jpeg_channels, uint32_t dib_color,
                                uint32_t dib_channels) {
  switch (jpeg_color) {
    case COLOR_GRAY:
      return jpeg_channels == 1 &&
             ((dib_color == COLOR_GRAY && dib_channels == 1) || IsRgbLike(dib_color, dib_channels));
    case COLOR_RGB:
      return jpeg_channels == 3 && IsRgbLike(dib_color, dib_channels);
    case COLOR_RGBA:
    case COLOR_YCBCRA:
      return jpeg_channels == 4 && dib_color == COLOR_RGBA && dib_channels == 4;
    case COLOR_YCBCR:
      return jpeg_channels == 3 && ((dib_color == COLOR_GRAY && dib_channels == 1) ||
                                    IsRgbLike(dib_color, dib_channels) || dib_color == COLOR_YCBCR);
    case COLOR_OTHER:
      return dib_color == COLOR_OTHER;
    default:
      return false;
  }
}

int32_t ValidateProperties(const JPEG_PROPERTIES& p) {
  const int32_t mode = p.state.io_mode;
  if (!IsReadMode(mode) && !IsEncoderMode(mode)) return JPEG_ERR_INVALID_PROPERTIES;
  if (IsImageMode(mode) && !DeliversCoefficients(p.state)) {
    const int32_t status = ValidatePixelBuffer(p, mode);
    if (status != JPEG_SUCCESS) return status;
  }
  int32_t status = ValidateSource(p, mode);
  if (status != JPEG_SUCCESS) return status;
  if (p.jpeg_channels == 0 || p.jpeg_channels > 256) return JPEG_ERR_INVALID_PROPERTIES;
  if (IsReadMode(mode) &&
      !IsAcceptedColorCombination(p.jpeg_color, p.jpeg_channels, p.dib_color, p.dib_channels))
    return JPEG_ERR_INVALID_PROPERTIES;
  if (p.state.dct_method != DCT_METHOD_FAST && p.state.dct_method != DCT_METHOD_PRECISE)
    return JPEG_ERR_INVALID_PROPERTIES;
  if (p.state.smooth_upsampling == 1 && p.state.raw_coefficients != nullptr)
    return JPEG_ERR_INVALID_PROPERTIES;
  return JPEG_SUCCESS;
}

}  // namespace jpeg
