// Drives the codec for the tool: a parameters read, then one image read into a raster
// sized for the whole image, a scaled image, a region or the thumbnail.
#include "tools/setuvia_jpeg/codec_session.h"

#include <algorithm>

namespace setuvia_jpeg {
namespace {

// JFXX palette thumbnails are at most 255 x 255.
constexpr uint32_t kUnannouncedThumbnailEdge = 255;

struct Layout {
  uint32_t color;
  uint32_t channels;
};

// The output colour for the image's colour: grey stays grey, three-component images
// become RGB, four-component ones keep their four channels.
bool LayoutFor(const JPEG_PROPERTIES& p, bool thumbnail, Layout& layout) {
  if (thumbnail) {
    layout = {COLOR_RGB, 3};
    return true;
  }
  switch (p.jpeg_color) {
    case COLOR_GRAY:
      layout = {COLOR_GRAY, 1};
      return true;
    case COLOR_RGB:
    case COLOR_YCBCR:
      layout = {COLOR_RGB, 3};
      return true;
    case COLOR_RGBA:
    case COLOR_YCBCRA:
      layout = {COLOR_RGBA, 4};
      return true;
    default:
      return false;
  }
}

int32_t ReadModeFor(const CliOptions& options) {
  if (options.thumbnail) return READ_THUMBNAIL_BUFFER;
  return JpegScaledReadMode(static_cast<uint32_t>(options.scale_divisor));
}

}  // namespace

std::string StatusText(int32_t status) {
  return std::string(JpegErrorText(status)) + " (" + std::to_string(status) + ")";
}

CodecSession::CodecSession(std::vector<uint8_t> bytes)
    : bytes_(std::move(bytes)), comment_buffer_(65535) {
  JpegInit(&properties_);
}

CodecSession::~CodecSession() {
  JpegFree(&properties_);
}

int32_t CodecSession::ReadParameters() {
  properties_.jpeg_buffer = bytes_.data();
  properties_.jpeg_buffer_size = static_cast<uint32_t>(bytes_.size());
  properties_.state.comment_buffer = comment_buffer_.data();
  properties_.state.comment_size = static_cast<uint16_t>(comment_buffer_.size());
  const int32_t status = JpegRead(&properties_, READ_PARAMS_BUFFER);
  // A COM segment holds at most 65533 bytes, so a size still at the capacity means none.
  const size_t length = properties_.state.comment_size;
  if (status == JPEG_SUCCESS && length < comment_buffer_.size())
    comment_.assign(reinterpret_cast<const char*>(comment_buffer_.data()), length);
  properties_.state.comment_buffer = nullptr;
  return status;
}

namespace {

// A thumbnail whose size the parameters read did not give (JFXX palette or JPEG-coded) was
// read into a raster of the largest palette thumbnail; a larger one is read again at the size
// the read reported, and the raster is cut to the thumbnail.
int32_t FitThumbnail(JPEG_PROPERTIES& p, int32_t status, Raster& raster) {
  const uint32_t width = p.thumb_width, height = p.thumb_height;
  if (status == JPEG_ERR_THUMB_TOO_SMALL && uint64_t{width} * height <= kMaxOutputPixels) {
    raster = {width, height, raster.channels, std::vector<uint8_t>(size_t{width} * height * 3)};
    p.dib_pixels = raster.pixels.data();
    p.dib_width = width;
    p.dib_height = static_cast<int32_t>(height);
    return JpegRead(&p, READ_THUMBNAIL_BUFFER);
  }
  if (status != JPEG_SUCCESS) return status;
  std::vector<uint8_t> cut(size_t{width} * height * 3);
  for (uint32_t y = 0; y < height; ++y)
    std::copy_n(raster.pixels.begin() + static_cast<ptrdiff_t>(y * raster.width * 3), width * 3,
                cut.begin() + static_cast<ptrdiff_t>(y * width * 3));
  raster = {width, height, raster.channels, std::move(cut)};
  return status;
}

// --region is in image pixels; a reduced read is given the rectangle of its own pixels that
// covers it.
Region InReadPixels(const Region& r, int64_t scale) {
  const int64_t left = r.x / scale, top = r.y / scale;
  const int64_t right = (int64_t{r.x} + r.width + scale - 1) / scale;
  const int64_t bottom = (int64_t{r.y} + r.height + scale - 1) / scale;
  return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
          static_cast<int32_t>(bottom - top)};
}

}  // namespace

bool CodecSession::Decode(const CliOptions& options, Raster& raster, std::string& error) {
  JPEG_PROPERTIES& p = properties_;
  Layout layout{};
  if (!LayoutFor(p, options.thumbnail, layout)) {
    error = "cannot write a " + std::to_string(p.jpeg_channels) + "-component image of colour " +
            std::to_string(p.jpeg_color);
    return false;
  }
  uint32_t width = options.thumbnail ? p.thumb_width : p.jpeg_width;
  uint32_t height = options.thumbnail ? p.thumb_height : p.jpeg_height;
  const bool unannounced = options.thumbnail && (width == 0 || height == 0);
  if (unannounced) width = height = kUnannouncedThumbnailEdge;
  const auto scale = static_cast<uint32_t>(options.scale_divisor);
  width = JpegScaledExtent(width, scale);
  height = JpegScaledExtent(height, scale);
  if (options.region) {
    const Region r = InReadPixels(*options.region, scale);
    p.state.roi_rect[0] = r.x;
    p.state.roi_rect[1] = r.y;
    p.state.roi_rect[2] = r.x + r.width;
    p.state.roi_rect[3] = r.y + r.height;
    // The codec clips a region to the image; one that starts outside it is refused.
    width = static_cast<uint32_t>(std::clamp<int64_t>(int64_t{width} - r.x, 1, r.width));
    height = static_cast<uint32_t>(std::clamp<int64_t>(int64_t{height} - r.y, 1, r.height));
  }
  if (uint64_t{width} * height > kMaxOutputPixels) {
    error =
        "image too large for this tool: " + std::to_string(width) + "x" + std::to_string(height);
    return false;
  }
  raster = {width, height, layout.channels, {}};
  raster.pixels.assign(size_t{width} * height * layout.channels, 0);
  p.dib_pixels = raster.pixels.data();
  p.dib_width = width;
  p.dib_height = static_cast<int32_t>(height);  // positive: top-down rows
  p.dib_channels = layout.channels;
  p.dib_color = layout.color;
  p.dib_pad_bytes = 0;
  p.state.dct_method = options.fast_dct ? DCT_METHOD_FAST : DCT_METHOD_PRECISE;
  p.state.smooth_upsampling = options.smooth ? 1 : 0;
  int32_t status = JpegRead(&p, ReadModeFor(options));
  if (unannounced) status = FitThumbnail(p, status, raster);
  if (status == JPEG_SUCCESS || status == JPEG_ROI_SUCCESS) return true;
  error = status == JPEG_ERR_NO_IMAGE && options.thumbnail ? "the file has no thumbnail"
                                                           : "decode failed: " + StatusText(status);
  return false;
}

}  // namespace setuvia_jpeg
