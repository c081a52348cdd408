// The peer codec (TurboJPEG, test-only): decoding into the same bottom-up, 4-byte-padded layout
// as ours, with box upsampling (or its triangle filter, when asked) and the accurate integer
// inverse DCT, which compute nearly what our plain routines compute; and encoding small test images
// in memory.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tests/jpeg/support/dib_layout.h"

namespace setuvia::jpegtest {

enum class PeerFormat {
  kBgr,   // 3 bytes per pixel, gray repeated
  kCmyk,  // 4 bytes per pixel, the four components as the peer reads them
};

struct PeerImage {
  bool decoded = false;  // pixels are valid (possibly after a warning)
  bool warning = false;  // the peer reported corrupt data but finished the image
  std::string message;
  DibLayout layout;
  std::vector<uint8_t> pixels;
};

enum class PeerUpsampling {
  kBox,     // replicated chroma, as our default read
  kSmooth,  // the peer's triangle filter for 4:2:2 and 4:2:0, as our smooth_upsampling read
};

// scale 2, 4 or 8 decodes at that fraction of the size (TurboJPEG's scaled decode).
PeerImage DecodeWithPeer(std::span<const uint8_t> jpeg, PeerFormat format, int scale = 1,
                         uint64_t max_pixels = uint64_t{64} << 20,
                         PeerUpsampling upsampling = PeerUpsampling::kBox);

// One decode into a caller's buffer laid out as `layout` (BufferSize() bytes), handle set-up
// included, as the benchmarks time it. Returns false on an error (warnings pass).
bool PeerDecodeInto(std::span<const uint8_t> jpeg, PeerFormat format, const DibLayout& layout,
                    uint8_t* pixels);

// The image's size and the channel count `format` gives; false when the header is unreadable.
bool PeerReadLayout(std::span<const uint8_t> jpeg, PeerFormat format, DibLayout& layout,
                    int scale = 1);

enum class PeerSampling { k444, k422, k420, kGray };

// A baseline JPEG of a smooth synthetic picture (gradients and a few edges), made in memory.
std::vector<uint8_t> EncodeTestImage(uint32_t width, uint32_t height, PeerSampling sampling,
                                     int quality, bool progressive = false);

}  // namespace setuvia::jpegtest
