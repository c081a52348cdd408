// Decode speed and allocations of our codec beside the peer (TurboJPEG), single thread, from
// memory into 24-bit BGR bottom-up rows padded to 4 bytes, as the page loader asks for them.
// Each decode includes the set-up and release of the decoder (JpegInit ... JpegFree for ours,
// a fresh handle for the peer), as the program pays for it per page. The pixel buffer is made
// once and reused, so the allocation counts show only what the decoders allocate themselves.
// Besides whole reads: reduced reads (the peer's scaled decode) and region reads of 1/16 of the
// area, in the centre and at the bottom-right corner (the peer's cropped decode, bench/peer_crop).
// Large blocks are always mapped afresh (a fixed threshold): otherwise the allocator raises its
// threshold once a large block is freed and hands later ones out of a heap already faulted in,
// so a decoder's time would depend on what ran before it, the other decoder included.
// The images come from tools/make_bench_images.sh; tools/bench.sh runs everything and prints
// the medians and ratios.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/alloc_counter.h"
#include "bench/peer_crop.h"
#include "image/jpeg_page.h"
#include "jpeg/jpeg_codec.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus.h"
#include "tests/jpeg/support/peer_codec.h"

namespace setuvia::bench {
namespace {

using jpegtest::DibLayout;

// What a read covers: the whole image, or a quarter of its width and height.
enum class Area { kWhole, kCentre, kBottomRight };

struct BenchImage {
  std::string name;
  std::vector<uint8_t> jpeg;
  int scale;  // 2, 4 or 8 for a reduced read (the peer's scaled decode), else 1
  Area area;
  PixelRect rect;    // the region, for kCentre and kBottomRight
  DibLayout layout;  // of the pixels the read delivers
};

struct ReadChoice {
  const char* name;
  int scale;
  Area area;
};
constexpr ReadChoice kReads[] = {
    {"page_1920x1080_420_q85", 1, Area::kWhole},
    {"photo_4032x3024_420", 1, Area::kWhole},
    {"photo_4032x3024_420", 2, Area::kWhole},
    {"photo_4032x3024_420", 4, Area::kWhole},
    {"photo_4032x3024_420", 8, Area::kWhole},
    {"photo_4032x3024_422_restart", 1, Area::kWhole},
    {"photo_4032x3024_422_restart", 1, Area::kCentre},
    {"photo_4032x3024_422_restart", 1, Area::kBottomRight},
    {"photo_4032x3024_422_restart8", 1, Area::kWhole},
    {"photo_4032x3024_422_restart8", 1, Area::kCentre},
    {"photo_4032x3024_422_restart8", 1, Area::kBottomRight},
    {"photo_4032x3024_444_q95", 1, Area::kWhole},
    {"photo_4032x3024_gray_q95", 1, Area::kWhole},
    {"photo_4032x3024_420_progressive", 1, Area::kWhole},
    {"photo_4032x3024_420_progressive", 8, Area::kWhole},
    {"photo_6000x4000_progressive", 1, Area::kWhole},
};

void ReportCounters(benchmark::State& state, const BenchImage& image,
                    const AllocationCount& allocations) {
  state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(image.layout.Pixels()) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
  state.counters["allocs"] = static_cast<double>(allocations.calls);
  state.counters["alloc_bytes"] = static_cast<double>(allocations.bytes);
  state.counters["largest_alloc"] = static_cast<double>(allocations.largest);
}

// A region read as the page loader would ask for one: its output, the region's layout.
int32_t DecodeOursRect(const BenchImage& image, uint8_t* pixels) {
  JPEG_PROPERTIES p;
  std::memset(&p, 0, sizeof p);
  int32_t status = JpegInit(&p);
  p.jpeg_buffer = image.jpeg.data();
  p.jpeg_buffer_size = static_cast<uint32_t>(image.jpeg.size());
  if (status == 0) status = JpegRead(&p, READ_PARAMS_BUFFER);
  if (status == 0) {
    SetJpegPageOutput(p);
    p.dib_pixels = pixels;
    p.dib_width = image.layout.width;
    p.dib_height = -static_cast<int32_t>(image.layout.height);
    p.dib_pad_bytes = static_cast<uint32_t>(image.layout.PadBytes());
    const PixelRect& r = image.rect;
    const int32_t roi[4] = {static_cast<int32_t>(r.left), static_cast<int32_t>(r.top),
                            static_cast<int32_t>(r.left + r.width),
                            static_cast<int32_t>(r.top + r.height)};
    std::memcpy(p.state.roi_rect, roi, sizeof roi);
    status = JpegRead(&p, READ_IMAGE_BUFFER);
  }
  JpegFree(&p);
  return status == JPEG_ROI_SUCCESS ? 0 : status;
}

// One decode with our codec into `pixels`; 0 or the failing read's status.
int32_t DecodeOurs(const BenchImage& image, uint8_t* pixels) {
  if (image.area != Area::kWhole) return DecodeOursRect(image, pixels);
  const jpegtest::BufferProvider provider = [pixels](const DibLayout&) { return pixels; };
  return jpegtest::RunCodec(image.jpeg, jpegtest::ColorChoice::kAsProgram, provider, image.scale)
      .image_status;
}

bool DecodePeer(const BenchImage& image, uint8_t* pixels) {
  if (image.area != Area::kWhole)
    return PeerDecodeRect(image.jpeg, image.rect, image.layout, pixels);
  return PeerDecodeInto(image.jpeg, jpegtest::PeerFormat::kBgr, image.layout, pixels);
}

void BenchOurs(benchmark::State& state, const BenchImage* image) {
  std::vector<uint8_t> pixels(image->layout.BufferSize());
  AllocationCount allocations;
  {
    CountAllocations counter;
    const int32_t status = DecodeOurs(*image, pixels.data());
    allocations = counter.Result();
    if (status != 0) {
      state.SkipWithError(("our decode failed with status " + std::to_string(status)).c_str());
      return;
    }
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeOurs(*image, pixels.data()));
    benchmark::ClobberMemory();
  }
  ReportCounters(state, *image, allocations);
}

void BenchPeer(benchmark::State& state, const BenchImage* image) {
  std::vector<uint8_t> pixels(image->layout.BufferSize());
  AllocationCount allocations;
  {
    CountAllocations counter;
    const bool ok = DecodePeer(*image, pixels.data());
    allocations = counter.Result();
    if (!ok) {
      state.SkipWithError("peer decode failed");
      return;
    }
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodePeer(*image, pixels.data()));
    benchmark::ClobberMemory();
  }
  ReportCounters(state, *image, allocations);
}

const char* ReadSuffix(const ReadChoice& read) {
  switch (read.area) {
    case Area::kCentre:
      return "_centre16";
    case Area::kBottomRight:
      return "_corner16";
    case Area::kWhole:
      break;
  }
  return read.scale == 2   ? "_half"
         : read.scale == 4 ? "_quarter"
         : read.scale == 8 ? "_eighth"
                           : "";
}

// A quarter of the width and height, centred or in the bottom-right corner.
PixelRect RectOf(Area area, const DibLayout& full) {
  const uint32_t width = full.width / 4, height = full.height / 4;
  if (area == Area::kCentre)
    return {(full.width - width) / 2, (full.height - height) / 2, width, height};
  return {full.width - width, full.height - height, width, height};
}

std::vector<BenchImage> LoadImages(const std::string& folder) {
  std::vector<BenchImage> images;
  for (const ReadChoice& read : kReads) {
    BenchImage image{read.name,  jpegtest::ReadFileBytes(folder + "/" + read.name + ".jpg"),
                     read.scale, read.area,
                     {},         {}};
    if (image.jpeg.empty() ||
        !PeerReadLayout(image.jpeg, jpegtest::PeerFormat::kBgr, image.layout, read.scale)) {
      std::fprintf(stderr, "missing or unreadable %s/%s.jpg (run tools/make_bench_images.sh)\n",
                   folder.c_str(), read.name);
      continue;
    }
    if (read.area != Area::kWhole) {
      image.rect = RectOf(read.area, image.layout);
      image.layout.width = image.rect.width;
      image.layout.height = image.rect.height;
    }
    image.name += ReadSuffix(read);
    images.push_back(std::move(image));
  }
  return images;
}

void Register(const std::vector<BenchImage>& images) {
  for (const BenchImage& image : images) {
    for (auto [who, function] : {std::pair{"ours", &BenchOurs}, std::pair{"peer", &BenchPeer}}) {
      benchmark::RegisterBenchmark((std::string(who) + "/" + image.name).c_str(), function, &image)
          ->Unit(benchmark::kMillisecond)
          ->MinTime(0.3)
          ->Repetitions(7)
          ->ReportAggregatesOnly(true);
    }
  }
}

}  // namespace
}  // namespace setuvia::bench

int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);  // glibc's default, now fixed
  const char* folder = std::getenv("SETUVIA_BENCH_IMAGES");
  static const std::vector<setuvia::bench::BenchImage> images =
      setuvia::bench::LoadImages(folder != nullptr ? folder : SETUVIA_BENCH_IMAGES);
  if (images.empty()) return 1;
  setuvia::bench::Register(images);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
