// The page loader's calling sequence over the codec's public interface, with the colour choice
// and the buffer left to the caller so that tests can guard it and benchmarks can reuse it.
#include "tests/jpeg/support/codec_decode.h"

#include <algorithm>
#include <cstring>

#include "jpeg/jpeg_codec.h"

namespace setuvia::jpegtest {
namespace {

// Output format per frame component count, as the page loader chooses it.
void ChooseOutput(JPEG_PROPERTIES& props, ColorChoice color) {
  const bool keep = color == ColorChoice::kAsReported;
  switch (props.jpeg_channels) {
    case 1:
      props.jpeg_color = COLOR_GRAY;
      props.dib_channels = 3;
      props.dib_color = COLOR_BGR;
      break;
    case 3:
      if (!keep || props.jpeg_color != COLOR_RGB) props.jpeg_color = COLOR_YCBCR;
      props.dib_channels = 3;
      props.dib_color = COLOR_BGR;
      break;
    case 4:
      if (!keep || props.jpeg_color != COLOR_RGBA) props.jpeg_color = COLOR_YCBCRA;
      props.dib_channels = 4;
      props.dib_color = COLOR_RGBA;
      break;
    default:
      props.jpeg_color = COLOR_OTHER;
      props.dib_channels = props.jpeg_channels;
      props.dib_color = COLOR_OTHER;
      break;
  }
}

void ReadImage(JPEG_PROPERTIES& props, CodecRun& run, const BufferProvider& provide_buffer) {
  run.jpeg_color = static_cast<int32_t>(props.jpeg_color);
  run.jpeg_channels = props.jpeg_channels;
  run.layout = {props.jpeg_width, props.jpeg_height, props.dib_channels};
  uint8_t* pixels = provide_buffer(run.layout);
  if (pixels == nullptr) return;
  props.dib_width = props.jpeg_width;
  props.dib_height = -static_cast<int32_t>(props.jpeg_height);
  props.dib_pad_bytes = static_cast<uint32_t>(run.layout.PadBytes());
  props.dib_pixels = pixels;
  run.image_status = JpegRead(&props, READ_IMAGE_BUFFER);
}

}  // namespace

CodecRun RunCodec(std::span<const uint8_t> jpeg, ColorChoice color,
                  const BufferProvider& provide_buffer) {
  CodecRun run;
  JPEG_PROPERTIES props;
  std::memset(&props, 0, sizeof props);
  run.init_status = JpegInit(&props);
  if (run.init_status != 0) return run;
  props.jpeg_buffer = jpeg.data();
  props.jpeg_buffer_size = static_cast<uint32_t>(jpeg.size());
  run.params_status = JpegRead(&props, READ_PARAMS_BUFFER);
  if (run.params_status == 0) {
    ChooseOutput(props, color);
    ReadImage(props, run, provide_buffer);
  }
  run.free_status = JpegFree(&props);
  return run;
}

std::span<const uint8_t> CodecImage::Pixels() const {
  if (storage.size() < 2 * kGuardBytes) return {};
  return std::span<const uint8_t>(storage).subspan(kGuardBytes,
                                                   storage.size() - 2 * kGuardBytes);
}

bool CodecImage::GuardsIntact() const {
  auto is_guard = [](uint8_t byte) { return byte == kGuardValue; };
  if (storage.size() < 2 * kGuardBytes) return true;
  return std::all_of(storage.begin(), storage.begin() + kGuardBytes, is_guard) &&
         std::all_of(storage.end() - kGuardBytes, storage.end(), is_guard);
}

CodecImage DecodeWithCodec(std::span<const uint8_t> jpeg, ColorChoice color,
                           uint64_t max_pixels) {
  CodecImage image;
  image.run = RunCodec(jpeg, color, [&](const DibLayout& layout) -> uint8_t* {
    if (layout.Pixels() > max_pixels) {
      image.refused_as_too_large = true;
      return nullptr;
    }
    image.storage.assign(layout.BufferSize() + 2 * CodecImage::kGuardBytes, 0);
    std::fill_n(image.storage.begin(), CodecImage::kGuardBytes, CodecImage::kGuardValue);
    std::fill_n(image.storage.end() - CodecImage::kGuardBytes, CodecImage::kGuardBytes,
                CodecImage::kGuardValue);
    return image.storage.data() + CodecImage::kGuardBytes;
  });
  return image;
}

bool IsKnownStatus(int32_t status) {
  return (status >= -30 && status <= 2) || status == -99;
}

}  // namespace setuvia::jpegtest
