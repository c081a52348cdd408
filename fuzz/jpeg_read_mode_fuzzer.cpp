// Fuzzes the read modes: a parameter read, then an image read whole or of a region, at full
// size or reduced, at once or one MCU per call, of pixels or of coefficients, or a whole
// read with smooth upsampling, whose output runs behind the decoding. The pixel
// buffer holds exactly the region's rows at the read's scale and the coefficient planes
// exactly the size the header gives, so any write outside them is caught; statuses must be
// known, and an interrupted read is abandoned after a bounded number of calls, so the leak
// check sees what a freed half-done read leaves. The input's last three bytes and its length
// choose; the seeds are whole images.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_checks.h"
#include "jpeg/jpeg_codec.h"

namespace {

constexpr uint64_t kMaxPixels = uint64_t{1} << 16;
constexpr int32_t kMaxCalls = 4096;

struct Choice {
  bool region, interrupt, coefficients, smooth;
  uint32_t scale;
  uint32_t corner, extent;  // region corner and size, in 1/16ths of the image
};

Choice ChooseFrom(const uint8_t* data, size_t size) {
  const uint32_t low = size == 0 ? 0u : data[size - 1];
  const uint32_t high = size < 2 ? 0u : data[size - 2];
  const uint32_t third = size < 3 ? 0u : data[size - 3];
  const uint32_t bits = (high << 8 | low) ^ static_cast<uint32_t>(size);
  // An eighth of the inputs read smooth, whole and at full size, the reads it combines with
  // (a value the regression inputs do not end with, so they keep their modes).
  if ((third & 7) == 5) return {false, false, false, true, 1, 0, 0};
  return {(bits & 1) != 0,       (bits & 2) != 0,  (bits & 4) != 0, false,
          1u << (bits >> 3 & 3), bits >> 5 & 0xFF, bits >> 13 & 0x7};
}

int32_t ModeOf(uint32_t scale) {
  return scale == 2   ? READ_HALF_BUFFER
         : scale == 4 ? READ_QUARTER_BUFFER
         : scale == 8 ? READ_EIGHTH_BUFFER
                      : READ_IMAGE_BUFFER;
}

// A region from the choice, in pixels of the image at the read's scale: corners anywhere,
// also outside the image, sizes down to 1.
void SetRegion(JPEG_PROPERTIES& p, const Choice& c) {
  const auto w = static_cast<int32_t>(JpegScaledExtent(p.jpeg_width, c.scale));
  const auto h = static_cast<int32_t>(JpegScaledExtent(p.jpeg_height, c.scale));
  const int32_t left = static_cast<int32_t>(c.corner & 0xF) * w / 15;
  const int32_t top = static_cast<int32_t>(c.corner >> 4) * h / 15;
  p.state.roi_rect[0] = left;
  p.state.roi_rect[1] = top;
  p.state.roi_rect[2] = c.extent == 0 ? 0 : left + 1 + static_cast<int32_t>(c.extent) * w / 8;
  p.state.roi_rect[3] = c.extent == 7 ? 0 : top + 1 + static_cast<int32_t>(c.extent) * h / 8;
}

// Planes of exactly the size jpeg_codec.h gives each frame component.
std::vector<std::vector<int16_t>> PlanesFor(const JPEG_PROPERTIES& p) {
  const JpegFrameHeader& frame = p.state.frame;
  int32_t h_max = 1, v_max = 1;
  const int32_t count = frame.component_count < 4 ? frame.component_count : 4;
  for (int32_t i = 0; i < count; ++i) {
    h_max = frame.components[i].h > h_max ? frame.components[i].h : h_max;
    v_max = frame.components[i].v > v_max ? frame.components[i].v : v_max;
  }
  const size_t across = (p.jpeg_width + 8 * h_max - 1) / (8 * h_max);
  const size_t down = (p.jpeg_height + 8 * v_max - 1) / (8 * v_max);
  std::vector<std::vector<int16_t>> planes;
  for (int32_t i = 0; i < count; ++i)
    planes.emplace_back(across * frame.components[i].h * 8 * down * frame.components[i].v * 8);
  return planes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  const Choice choice = ChooseFrom(data, size);
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  if (JpegInit(&p) != 0) return 0;
  p.jpeg_buffer = bytes.data();
  p.jpeg_buffer_size = static_cast<uint32_t>(bytes.size());
  const int32_t params_status = JpegRead(&p, READ_PARAMS_BUFFER);
  setuvia::fuzz::CheckKnownStatus(params_status);
  if (params_status == 0 && uint64_t{p.jpeg_width} * p.jpeg_height <= kMaxPixels) {
    if (choice.region) SetRegion(p, choice);
    const int32_t* r = p.state.roi_rect;
    const uint32_t s = choice.scale;
    const int32_t right = r[2] > 0 ? r[2] : static_cast<int32_t>(JpegScaledExtent(p.jpeg_width, s));
    const int32_t bottom =
        r[3] > 0 ? r[3] : static_cast<int32_t>(JpegScaledExtent(p.jpeg_height, s));
    const uint32_t width = right > r[0] ? static_cast<uint32_t>(right - r[0]) : 1;
    const uint32_t height = bottom > r[1] ? static_cast<uint32_t>(bottom - r[1]) : 1;
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[size_t{width} * height * p.dib_channels]);
    std::vector<std::vector<int16_t>> planes;
    JpegRawCoefficients raw{};
    if (choice.coefficients) {
      planes = PlanesFor(p);
      for (size_t i = 0; i < planes.size(); ++i) raw.planes[i] = planes[i].data();
      p.state.raw_coefficients = &raw;
    }
    p.state.smooth_upsampling = choice.smooth ? 1 : 0;
    p.dib_pixels = pixels.get();
    p.dib_width = width;
    p.dib_height = static_cast<int32_t>(height);
    int32_t status = 0;
    for (int32_t call = 0; call < kMaxCalls; ++call) {
      p.state.interrupt_flag = choice.interrupt;
      status = JpegRead(&p, ModeOf(s));
      setuvia::fuzz::CheckKnownStatus(status);
      if (status != JPEG_INTERRUPT_SUCCESS) break;
    }
    if ((status == 0 || status == JPEG_ROI_SUCCESS) && !choice.coefficients)
      setuvia::fuzz::ReadEveryByte(pixels.get(), size_t{width} * height * p.dib_channels);
  }
  setuvia::fuzz::ReadPublicOutputs(p);
  JpegFree(&p);
  return 0;
}
