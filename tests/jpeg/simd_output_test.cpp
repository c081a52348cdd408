// The SSE2 and AVX2 colour kernels against the plain ones: for every kernel, random and
// extreme samples (out-of-range values included, where the 16-bit wrap-around of the
// colour terms shows), top-down and bottom-up buffers with row padding, the same bytes
// everywhere, padding and guard bytes included.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "jpeg/passthrough_output.h"
#include "jpeg/processor.h"
#include "jpeg/routine_table.h"
#include "jpeg/simd/simd_routines.h"
#include "jpeg/ycc_output.h"

namespace {

using jpeg::OutputKernel;

struct KernelCase {
  const char* name;
  OutputKernel RoutineTable::*slot;
  OutputKernel sse2, avx2;      // no SSE2 version: none
  int width, height, channels;  // of the MCU
};

using T = RoutineTable;
const KernelCase kKernels[] = {
    {"Gray", &T::OutputGray, &jpeg::OutputGraySse2, &jpeg::OutputGrayAvx2, 8, 8, 1},
    {"Pack422", &T::OutputPack422, &jpeg::OutputPack422Sse2, &jpeg::OutputPack422Avx2, 16, 8, 2},
    {"Interleave3", &T::OutputInterleave3, nullptr, &jpeg::OutputInterleave3Avx2, 8, 8, 3},
    {"Interleave3Alpha", &T::OutputInterleave3Alpha, nullptr, &jpeg::OutputInterleave3AlphaAvx2, 8,
     8, 4},
    {"YccToRgb", &T::OutputYccToRgb, &jpeg::YccToRgbSse2, &jpeg::YccToRgbAvx2, 8, 8, 3},
    {"YccToBgr", &T::OutputYccToBgr, &jpeg::YccToBgrSse2, &jpeg::YccToBgrAvx2, 8, 8, 3},
    {"Ycc420ToRgb", &T::OutputYcc420ToRgb, &jpeg::Ycc420ToRgbSse2, &jpeg::Ycc420ToRgbAvx2, 16, 16,
     3},
    {"Ycc420ToBgr", &T::OutputYcc420ToBgr, &jpeg::Ycc420ToBgrSse2, &jpeg::Ycc420ToBgrAvx2, 16, 16,
     3},
    {"Ycc422ToRgb", &T::OutputYcc422ToRgb, &jpeg::Ycc422ToRgbSse2, &jpeg::Ycc422ToRgbAvx2, 16, 8,
     3},
    {"Ycc422ToBgr", &T::OutputYcc422ToBgr, &jpeg::Ycc422ToBgrSse2, &jpeg::Ycc422ToBgrAvx2, 16, 8,
     3},
    {"YccToRgba", &T::OutputYccToRgba, &jpeg::YccToRgbaSse2, &jpeg::YccToRgbaAvx2, 8, 8, 4},
    {"Ycc420ToRgba", &T::OutputYcc420ToRgba, &jpeg::Ycc420ToRgbaSse2, &jpeg::Ycc420ToRgbaAvx2, 16,
     16, 4},
    {"Ycc422ToRgba", &T::OutputYcc422ToRgba, &jpeg::Ycc422ToRgbaSse2, &jpeg::Ycc422ToRgbaAvx2, 16,
     8, 4},
    {"YccaToRgba", &T::OutputYccaToRgba, &jpeg::YccaToRgbaSse2, &jpeg::YccaToRgbaAvx2, 8, 8, 4},
    {"Ycca420ToRgba", &T::OutputYcca420ToRgba, &jpeg::Ycca420ToRgbaSse2, &jpeg::Ycca420ToRgbaAvx2,
     16, 16, 4},
    {"Ycca422ToRgba", &T::OutputYcca422ToRgba, &jpeg::Ycca422ToRgbaSse2, &jpeg::Ycca422ToRgbaAvx2,
     16, 8, 4},
};

constexpr int kGuard = 64;
constexpr int kPad = 5;
constexpr uint8_t kUntouched = 0xA5;

// The whole buffer after `kernel` wrote one MCU of `samples` (the work buffer's layout:
// 4 luma blocks, Cb, Cr, 4 fourth blocks at most), top-down or bottom-up.
std::vector<uint8_t> Written(const KernelCase& k, OutputKernel kernel,
                             const std::vector<int16_t>& samples, bool bottom_up) {
  const int row_bytes = k.width * k.channels + kPad;
  std::vector<uint8_t> buffer(2 * kGuard + k.height * row_bytes, kUntouched);
  const int luma_blocks = k.width / 8 * (k.height / 8);
  const int16_t* work = samples.data();
  const int16_t* const blocks[4] = {work, work + 64 * luma_blocks, work + 64 * (luma_blocks + 1),
                                    work + 64 * (luma_blocks + 2)};
  uint8_t* first_row = &buffer[kGuard + (bottom_up ? (k.height - 1) * row_bytes : 0)];
  kernel(blocks, first_row, bottom_up ? -row_bytes : row_bytes);
  return buffer;
}

class SimdOutputTest : public ::testing::TestWithParam<KernelCase> {
 protected:
  void ExpectSameAsPlain(const std::vector<int16_t>& samples) {
    const KernelCase& k = GetParam();
    RoutineTable plain{};
    jpeg::InstallPlainYccKernels(plain);
    plain.OutputGray = &jpeg::OutputGray;
    plain.OutputPack422 = &jpeg::OutputPack422;
    plain.OutputInterleave3 = &jpeg::OutputInterleave3;
    plain.OutputInterleave3Alpha = &jpeg::OutputInterleave3Alpha;
    std::vector<OutputKernel> versions;
    if (k.sse2 != nullptr) versions.push_back(k.sse2);
    if (jpeg::GetProcessorInfo().avx2) versions.push_back(k.avx2);
    for (const OutputKernel kernel : versions)
      for (const bool bottom_up : {false, true})
        ASSERT_EQ(Written(k, kernel, samples, bottom_up),
                  Written(k, plain.*k.slot, samples, bottom_up))
            << k.name << (kernel == k.avx2 ? " AVX2" : " SSE2") << (bottom_up ? " bottom-up" : "");
  }
};

TEST_P(SimdOutputTest, WritesThePlainKernelsBytesForRandomSamples) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sample(0, 255);
  for (int round = 0; round < 50; ++round) {
    std::vector<int16_t> samples(JPEG_MCU_BLOCKS * 64);
    for (int16_t& s : samples) s = static_cast<int16_t>(sample(random));
    ExpectSameAsPlain(samples);
  }
}

TEST_P(SimdOutputTest, WritesThePlainKernelsBytesForExtremeSamples) {
  const int16_t extremes[] = {0, 255, -1, 256, -32768, 32767, 128, -300, 1000};
  std::mt19937 random(11);
  std::uniform_int_distribution<size_t> pick(0, std::size(extremes) - 1);
  for (int round = 0; round < 50; ++round) {
    std::vector<int16_t> samples(JPEG_MCU_BLOCKS * 64);
    for (int16_t& s : samples) s = extremes[pick(random)];
    ExpectSameAsPlain(samples);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryKernel, SimdOutputTest, ::testing::ValuesIn(kKernels),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
