// Decode speed and allocations of our codec beside the peer (TurboJPEG), single thread, from
// memory into 24-bit BGR bottom-up rows padded to 4 bytes, as the page loader asks for them.
// Each decode includes the set-up and release of the decoder (JpegInit ... JpegFree for ours,
// a fresh handle for the peer), as the program pays for it per page. The pixel buffer is made
// once and reused, so the allocation counts show only what the decoders allocate themselves.
// The images come from tools/make_bench_images.sh; tools/bench.sh runs everything and prints
// the medians and ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/alloc_counter.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus.h"
#include "tests/jpeg/support/peer_codec.h"

namespace setuvia::bench {
namespace {

using jpegtest::DibLayout;

struct BenchImage {
  std::string name;
  std::vector<uint8_t> jpeg;
  int scale;  // 1 for a whole read, 8 for an eighth read (the peer's scaled decode)
  DibLayout layout;
};

struct ImageChoice {
  const char* name;
  int scale;
};
constexpr ImageChoice kImages[] = {
    {"page_1920x1080_420_q85", 1},
    {"photo_4032x3024_420", 1},
    {"photo_4032x3024_420", 8},
    {"photo_4032x3024_422_restart", 1},
    {"photo_4032x3024_444_q95", 1},
    {"photo_4032x3024_gray_q95", 1},
    {"photo_4032x3024_420_progressive", 1},
    {"photo_4032x3024_420_progressive", 8},
    {"photo_6000x4000_progressive", 1},
};

void ReportCounters(benchmark::State& state, const BenchImage& image,
                    const AllocationCount& allocations) {
  state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(image.layout.Pixels()) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
  state.counters["allocs"] = static_cast<double>(allocations.calls);
  state.counters["alloc_bytes"] = static_cast<double>(allocations.bytes);
  state.counters["largest_alloc"] = static_cast<double>(allocations.largest);
}

// One decode with our codec into `pixels`; the image read's status.
int32_t DecodeOurs(const BenchImage& image, const jpegtest::BufferProvider& provider) {
  return jpegtest::RunCodec(image.jpeg, jpegtest::ColorChoice::kAsProgram, provider, image.scale)
      .image_status;
}

void BenchOurs(benchmark::State& state, const BenchImage* image) {
  std::vector<uint8_t> pixels(image->layout.BufferSize());
  uint8_t* target = pixels.data();
  const jpegtest::BufferProvider provider = [target](const DibLayout&) { return target; };
  AllocationCount allocations;
  {
    CountAllocations counter;
    const int32_t status = DecodeOurs(*image, provider);
    allocations = counter.Result();
    if (status != 0) {
      state.SkipWithError(("our decode failed with status " + std::to_string(status)).c_str());
      return;
    }
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeOurs(*image, provider));
    benchmark::ClobberMemory();
  }
  ReportCounters(state, *image, allocations);
}

void BenchPeer(benchmark::State& state, const BenchImage* image) {
  std::vector<uint8_t> pixels(image->layout.BufferSize());
  AllocationCount allocations;
  {
    CountAllocations counter;
    const bool ok =
        PeerDecodeInto(image->jpeg, jpegtest::PeerFormat::kBgr, image->layout, pixels.data());
    allocations = counter.Result();
    if (!ok) {
      state.SkipWithError("peer decode failed");
      return;
    }
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        PeerDecodeInto(image->jpeg, jpegtest::PeerFormat::kBgr, image->layout, pixels.data()));
    benchmark::ClobberMemory();
  }
  ReportCounters(state, *image, allocations);
}

std::vector<BenchImage> LoadImages(const std::string& folder) {
  std::vector<BenchImage> images;
  for (const auto& [name, scale] : kImages) {
    BenchImage image{name, jpegtest::ReadFileBytes(folder + "/" + name + ".jpg"), scale, {}};
    if (image.jpeg.empty() ||
        !PeerReadLayout(image.jpeg, jpegtest::PeerFormat::kBgr, image.layout, scale)) {
      std::fprintf(stderr, "missing or unreadable %s/%s.jpg (run tools/make_bench_images.sh)\n",
                   folder.c_str(), name);
      continue;
    }
    if (scale != 1) image.name += "_eighth";
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
