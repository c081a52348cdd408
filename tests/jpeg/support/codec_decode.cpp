// The page loader's calling sequence over the codec's public interface, with the page's own
// output choice and layout (SetJpegPageOutput) and the buffer left to the caller, so that
// tests can guard it and benchmarks can reuse it.
#include "tests/jpeg/support/codec_decode.h"

#include <algorithm>
#include <cstring>

#include "image/jpeg_page.h"
#include "jpeg/jpeg_codec.h"

namespace setuvia::jpegtest {
namespace {

// The page's output, keeping a reported RGB or RGBA colour when asked to.
void ChooseOutput(JPEG_PROPERTIES& props, ColorChoice color) {
  const uint32_t reported = props.jpeg_color;
  SetJpegPageOutput(props);
  const bool rgb = (props.jpeg_channels == 3 && reported == COLOR_RGB) ||
                   (props.jpeg_channels == 4 && reported == COLOR_RGBA);
  if (color == ColorChoice::kAsReported && rgb) props.jpeg_color = reported;
}

// A reduced read fills a buffer of the reduced size, laid out as the page's.
void ReadImage(JPEG_PROPERTIES& props, CodecRun& run, const BufferProvider& provide_buffer,
               int scale) {
  run.jpeg_channels = props.jpeg_channels;
  run.layout = {(props.jpeg_width + scale - 1) / scale, (props.jpeg_height + scale - 1) / scale,
                props.dib_channels};
  uint8_t* pixels = provide_buffer(run.layout);
  if (pixels == nullptr) return;
  props.dib_pixels = pixels;
  props.dib_width = run.layout.width;
  props.dib_height = -static_cast<int32_t>(run.layout.height);
  props.dib_pad_bytes = static_cast<uint32_t>(run.layout.PadBytes());
  run.image_status = JpegRead(&props, JpegScaledReadMode(static_cast<uint32_t>(scale)));
}

}  // namespace

int32_t OpenRecord(std::span<const uint8_t> jpeg, JPEG_PROPERTIES& record) {
  std::memset(&record, 0, sizeof record);
  const int32_t status = JpegInit(&record);
  record.jpeg_buffer = jpeg.data();
  record.jpeg_buffer_size = static_cast<uint32_t>(jpeg.size());
  return status;
}

CodecRun RunCodec(std::span<const uint8_t> jpeg, ColorChoice color,
                  const BufferProvider& provide_buffer, int scale, bool smooth) {
  CodecRun run;
  JPEG_PROPERTIES props;
  run.init_status = OpenRecord(jpeg, props);
  if (run.init_status != 0) return run;
  run.params_status = JpegRead(&props, READ_PARAMS_BUFFER);
  if (run.params_status == 0) {
    run.jpeg_color = static_cast<int32_t>(props.jpeg_color);  // before the page's choice
    ChooseOutput(props, color);
    props.state.smooth_upsampling = smooth ? 1 : 0;
    ReadImage(props, run, provide_buffer, scale);
  }
  run.free_status = JpegFree(&props);
  return run;
}

std::span<const uint8_t> CodecImage::Pixels() const {
  if (storage.size() < 2 * kGuardBytes) return {};
  return std::span<const uint8_t>(storage).subspan(kGuardBytes, storage.size() - 2 * kGuardBytes);
}

bool CodecImage::GuardsIntact() const {
  auto is_guard = [](uint8_t byte) { return byte == kGuardValue; };
  if (storage.size() < 2 * kGuardBytes) return true;
  return std::all_of(storage.begin(), storage.begin() + kGuardBytes, is_guard) &&
         std::all_of(storage.end() - kGuardBytes, storage.end(), is_guard);
}

CodecImage DecodeWithCodec(std::span<const uint8_t> jpeg, ColorChoice color, int scale,
                           uint64_t max_pixels, bool smooth) {
  CodecImage image;
  image.run = RunCodec(
      jpeg, color,
      [&](const DibLayout& layout) -> uint8_t* {
        if (layout.Pixels() > max_pixels) {
          image.refused_as_too_large = true;
          return nullptr;
        }
        image.storage.assign(layout.BufferSize() + 2 * CodecImage::kGuardBytes, 0);
        std::fill_n(image.storage.begin(), CodecImage::kGuardBytes, CodecImage::kGuardValue);
        std::fill_n(image.storage.end() - CodecImage::kGuardBytes, CodecImage::kGuardBytes,
                    CodecImage::kGuardValue);
        return image.storage.data() + CodecImage::kGuardBytes;
      },
      scale, smooth);
  return image;
}

bool IsKnownStatus(int32_t status) {
  return (status >= -30 && status <= 2) || status == -99;
}

}  // namespace setuvia::jpegtest
