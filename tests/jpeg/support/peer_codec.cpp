// TurboJPEG through its installed public interface only; used as an oracle and a rival.
#include "tests/jpeg/support/peer_codec.h"

#include <turbojpeg.h>

namespace setuvia::jpegtest {
namespace {

constexpr int kFlags = TJFLAG_ACCURATEDCT | TJFLAG_BOTTOMUP;
constexpr int kBoxFlags = kFlags | TJFLAG_FASTUPSAMPLE;

// Owns a buffer the peer allocated.
struct PeerBuffer {
  unsigned char* data = nullptr;
  unsigned long size = 0;
  ~PeerBuffer() { tjFree(data); }
};

int PeerSubsampling(PeerSampling sampling) {
  switch (sampling) {
    case PeerSampling::k444:
      return TJSAMP_444;
    case PeerSampling::k422:
      return TJSAMP_422;
    case PeerSampling::k420:
      return TJSAMP_420;
    case PeerSampling::kGray:
      return TJSAMP_GRAY;
  }
  return TJSAMP_444;
}

int PixelFormat(PeerFormat format) {
  return format == PeerFormat::kBgr ? TJPF_BGR : TJPF_CMYK;
}
uint32_t Channels(PeerFormat format) {
  return format == PeerFormat::kBgr ? 3 : 4;
}

// Owns one decompressor handle.
class Handle {
 public:
  Handle() : handle_(tjInitDecompress()) {}
  ~Handle() {
    if (handle_ != nullptr) tjDestroy(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  tjhandle get() const { return handle_; }

 private:
  tjhandle handle_;
};

// The layout of the image at 1/scale of its size, rounded up as both decoders round.
bool ReadHeader(tjhandle handle, std::span<const uint8_t> jpeg, PeerFormat format,
                DibLayout& layout, int scale) {
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()), &width,
                          &height, &subsampling, &colorspace) != 0)
    return false;
  const auto scaled = [scale](int extent) {
    return static_cast<uint32_t>((extent + scale - 1) / scale);
  };
  layout = {scaled(width), scaled(height), Channels(format)};
  return true;
}

// 0: clean, 1: finished with a warning, -1: failed.
int Decompress(tjhandle handle, std::span<const uint8_t> jpeg, PeerFormat format,
               const DibLayout& layout, uint8_t* pixels, int flags = kBoxFlags) {
  if (tjDecompress2(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()), pixels,
                    static_cast<int>(layout.width), static_cast<int>(layout.Stride()),
                    static_cast<int>(layout.height), PixelFormat(format), flags) == 0)
    return 0;
  return tjGetErrorCode(handle) == TJERR_WARNING ? 1 : -1;
}

// The peer picks the largest of its factors (n/8) whose size fits the buffer, so a tiny
// image whose size at 1/scale is also its size at a larger factor cannot be asked for 1/scale.
bool PeerScaleIsAmbiguous(const DibLayout& full, const DibLayout& scaled, int scale) {
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  for (int i = 0; factors != nullptr && i < count; ++i) {
    const tjscalingfactor f = factors[i];
    if (f.num * scale <= f.denom) continue;
    if (TJSCALED(static_cast<int>(full.width), f) == static_cast<int>(scaled.width) &&
        TJSCALED(static_cast<int>(full.height), f) == static_cast<int>(scaled.height))
      return true;
  }
  return false;
}

}  // namespace

PeerImage DecodeWithPeer(std::span<const uint8_t> jpeg, PeerFormat format, int scale,
                         uint64_t max_pixels, PeerUpsampling upsampling) {
  PeerImage image;
  Handle handle;
  if (handle.get() == nullptr || !ReadHeader(handle.get(), jpeg, format, image.layout, scale)) {
    image.message = handle.get() ? tjGetErrorStr2(handle.get()) : "no handle";
    return image;
  }
  // The peer's memory follows the full size (a progressive image keeps all of it).
  DibLayout full;
  if (!ReadHeader(handle.get(), jpeg, format, full, 1) || full.Pixels() > max_pixels) {
    image.message = "too large";
    return image;
  }
  if (scale != 1 && PeerScaleIsAmbiguous(full, image.layout, scale)) {
    image.message = "the peer cannot be asked for this scale";
    return image;
  }
  image.pixels.assign(image.layout.BufferSize(), 0);
  const int result = Decompress(handle.get(), jpeg, format, image.layout, image.pixels.data(),
                                upsampling == PeerUpsampling::kBox ? kBoxFlags : kFlags);
  image.decoded = result >= 0;
  image.warning = result == 1;
  if (result != 0) image.message = tjGetErrorStr2(handle.get());
  return image;
}

bool PeerDecodeInto(std::span<const uint8_t> jpeg, PeerFormat format, const DibLayout& layout,
                    uint8_t* pixels) {
  Handle handle;
  return handle.get() != nullptr && Decompress(handle.get(), jpeg, format, layout, pixels) >= 0;
}

bool PeerReadLayout(std::span<const uint8_t> jpeg, PeerFormat format, DibLayout& layout,
                    int scale) {
  Handle handle;
  return handle.get() != nullptr && ReadHeader(handle.get(), jpeg, format, layout, scale);
}

std::vector<uint8_t> EncodeTestImage(uint32_t width, uint32_t height, PeerSampling sampling,
                                     int quality, bool progressive) {
  std::vector<uint8_t> bgr(size_t{width} * height * 3);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* pixel = &bgr[(size_t{y} * width + x) * 3];
      pixel[0] = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
      pixel[1] = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
      pixel[2] = ((x / 8 + y / 8) % 2) ? 200 : 40;  // block-aligned edges
    }
  auto handle = tjInitCompress();
  if (handle == nullptr) return {};
  PeerBuffer jpeg;
  const int result =
      tjCompress2(handle, bgr.data(), static_cast<int>(width), 0, static_cast<int>(height),
                  TJPF_BGR, &jpeg.data, &jpeg.size, PeerSubsampling(sampling), quality,
                  TJFLAG_ACCURATEDCT | (progressive ? TJFLAG_PROGRESSIVE : 0));
  tjDestroy(handle);
  if (result != 0) return {};
  return std::vector<uint8_t>(jpeg.data, jpeg.data + jpeg.size);
}

}  // namespace setuvia::jpegtest
