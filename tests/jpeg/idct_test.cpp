// Inverse DCTs and dequantisation: exact results where the arithmetic pins them down
// (DC-only blocks, saturation points, wrapping products), and agreement with a
// double-precision inverse DCT (box-averaged for the reduced sizes) for general blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "jpeg/dequantize.h"
#include "jpeg/idct.h"
#include "jpeg/processor.h"
#include "jpeg/routine_table.h"
#include "jpeg/simd/simd_routines.h"

namespace {

using Block = std::array<int16_t, 64>;
using Transform = void (*)(int16_t*);

int RoundHalfUpDiv8(int d) {
  return static_cast<int>(std::floor((d + 4) / 8.0));
}
int Clamp255(int v) {
  return std::clamp(v, 0, 255);
}

Block DcOnly(int dc) {
  Block b{};
  b[0] = static_cast<int16_t>(dc);
  return b;
}

// Reference samples of a dequantised block, before rounding (T.81 A.3.3).
std::array<double, 64> ReferenceSamples(const Block& coefficients) {
  std::array<double, 64> out{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      double sum = 0;
      for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
          const double cu = u == 0 ? M_SQRT1_2 : 1.0, cv = v == 0 ? M_SQRT1_2 : 1.0;
          sum += cu * cv * coefficients[8 * v + u] * std::cos((2 * x + 1) * u * M_PI / 16) *
                 std::cos((2 * y + 1) * v * M_PI / 16);
        }
      out[8 * y + x] = sum / 4 + 128;
    }
  return out;
}

// The reference averaged over (8/size)x(8/size) boxes, rounded and clamped: what a reduced
// transform of edge `size` should approximate.
std::array<int, 64> ReferenceBoxes(const Block& coefficients, int size) {
  const auto full = ReferenceSamples(coefficients);
  const int box = 8 / size;
  std::array<int, 64> out{};
  for (int r = 0; r < size; ++r)
    for (int c = 0; c < size; ++c) {
      double sum = 0;
      for (int y = 0; y < box; ++y)
        for (int x = 0; x < box; ++x) sum += full[8 * (r * box + y) + c * box + x];
      out[8 * r + c] = Clamp255(static_cast<int>(std::lround(sum / (box * box))));
    }
  return out;
}

// A block with a typical spectrum: strong low frequencies, weak high ones.
Block RandomCoefficients(std::mt19937& rng) {
  Block b{};
  for (int v = 0; v < 8; ++v)
    for (int u = 0; u < 8; ++u) {
      const int range = 400 / (1 + u + v);
      b[8 * v + u] = static_cast<int16_t>(std::uniform_int_distribution<int>(-range, range)(rng));
    }
  return b;
}

// The AAN prescale the fast transforms expect: 2 * s(r) * s(k), s(0) = 1,
// s(n) = cos(n pi / 16) * sqrt(2).
Block FastInputs(const Block& coefficients) {
  auto s = [](int n) { return n == 0 ? 1.0 : std::cos(n * M_PI / 16) * M_SQRT2; };
  Block b{};
  for (int i = 0; i < 64; ++i)
    b[i] = static_cast<int16_t>(std::lround(coefficients[i] * 2 * s(i / 8) * s(i % 8)));
  return b;
}

int MaxDeviation(Transform transform, int size, bool fast, int trials) {
  std::mt19937 rng(1234);
  int worst = 0;
  for (int t = 0; t < trials; ++t) {
    const Block coefficients = RandomCoefficients(rng);
    const auto expected = ReferenceBoxes(coefficients, size);
    Block b = fast ? FastInputs(coefficients) : coefficients;
    transform(b.data());
    for (int r = 0; r < size; ++r)
      for (int c = 0; c < size; ++c)
        worst = std::max(worst, std::abs(b[8 * r + c] - expected[8 * r + c]));
  }
  return worst;
}

TEST(PreciseInverseDct, DcOnlyBlockGivesRoundedEighthPlus128Everywhere) {
  for (int d = -1100; d <= 1100; ++d) {
    Block b = DcOnly(d);
    jpeg::InverseDct8x8Precise(b.data());
    const int expected = Clamp255(RoundHalfUpDiv8(d) + 128);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(b[i], expected) << "D=" << d << " cell " << i;
  }
}

TEST(PreciseInverseDct, DcOnlySaturationPoints) {
  const std::pair<int, int> cases[] = {{0, 128},
                                       {-1024, 0},
                                       {1016, 255},
                                       {-1020, 1},
                                       {1011, 254},
                                       {-8192, 0},
                                       {8187, 255},
                                       // beyond 32 bits the column pass wraps, as defined
                                       {8191, 0},
                                       {-32768, 128},
                                       {16384, 128}};
  for (auto [d, sample] : cases) {
    Block b = DcOnly(d);
    jpeg::InverseDct8x8Precise(b.data());
    EXPECT_EQ(b[0], sample) << "D=" << d;
    EXPECT_EQ(b[63], sample) << "D=" << d;
  }
}

TEST(PreciseInverseDct, ReducedSizesShareTheDcRoundingAndSaturation) {
  for (Transform t :
       {jpeg::InverseDct4x4Precise, jpeg::InverseDct2x2Precise, jpeg::InverseDct1x1Precise}) {
    const std::pair<int, int> cases[] = {{-1028, 0}, {-1029, 0}, {1019, 255}, {1020, 255},
                                         {4, 129},   {3, 128},   {-4, 128},   {-5, 127}};
    for (auto [d, sample] : cases) {
      Block b = DcOnly(d);
      t(b.data());
      EXPECT_EQ(b[0], sample) << "D=" << d;
    }
  }
  Block b = DcOnly(100);
  jpeg::InverseDct4x4Precise(b.data());
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(b[8 * r + c], 141);
  b = DcOnly(-100);
  jpeg::InverseDct2x2Precise(b.data());
  EXPECT_EQ(b[0], 116);
  EXPECT_EQ(b[1], 116);
  EXPECT_EQ(b[8], 116);
  EXPECT_EQ(b[9], 116);
}

TEST(FastInverseDct, DcOnlyBlocksDescaleBySixteen) {
  for (int d = -2100; d <= 2100; d += 7) {
    const int expected = Clamp255(((d + 8) >> 4) + 128);
    for (Transform t : {jpeg::InverseDct8x8Fast, jpeg::InverseDct4x4Fast, jpeg::InverseDct2x2Fast,
                        jpeg::InverseDct1x1Fast}) {
      Block b = DcOnly(d);
      t(b.data());
      ASSERT_EQ(b[0], expected) << "D=" << d;
    }
  }
  const std::pair<int, int> cases[] = {{-2056, 0},  {-2057, 0},  {-2055, 0},  {-2040, 1},
                                       {2039, 255}, {2040, 255}, {2024, 255}, {2023, 254}};
  for (auto [d, sample] : cases) {
    Block b = DcOnly(d);
    jpeg::InverseDct1x1Fast(b.data());
    EXPECT_EQ(b[0], sample) << "D=" << d;
  }
}

TEST(PreciseInverseDct, FullSizeMatchesTheReferenceTransform) {
  EXPECT_LE(MaxDeviation(jpeg::InverseDct8x8Precise, 8, false, 2000), 1);
}

TEST(PreciseInverseDct, ReducedSizesMatchTheBoxAveragedReference) {
  EXPECT_LE(MaxDeviation(jpeg::InverseDct4x4Precise, 4, false, 2000), 1);
  EXPECT_LE(MaxDeviation(jpeg::InverseDct2x2Precise, 2, false, 2000), 1);
  EXPECT_LE(MaxDeviation(jpeg::InverseDct1x1Precise, 1, false, 2000), 1);
}

TEST(FastInverseDct, AllSizesMatchTheReferenceOnPrescaledInput) {
  EXPECT_LE(MaxDeviation(jpeg::InverseDct8x8Fast, 8, true, 2000), 3);
  EXPECT_LE(MaxDeviation(jpeg::InverseDct4x4Fast, 4, true, 2000), 2);
  EXPECT_LE(MaxDeviation(jpeg::InverseDct2x2Fast, 2, true, 2000), 2);
  EXPECT_LE(MaxDeviation(jpeg::InverseDct1x1Fast, 1, true, 2000), 1);
}

// Corrupt streams can dequantise to any 16-bit value; the transforms wrap and clamp
// (the sanitizer build checks that no signed overflow happens on the way).
TEST(InverseDct, ExtremeCoefficientsStayWithinSampleRange) {
  std::mt19937 rng(99);
  const std::pair<Transform, int> transforms[] = {
      {jpeg::InverseDct8x8Precise, 8}, {jpeg::InverseDct4x4Precise, 4},
      {jpeg::InverseDct2x2Precise, 2}, {jpeg::InverseDct1x1Precise, 1},
      {jpeg::InverseDct8x8Fast, 8},    {jpeg::InverseDct4x4Fast, 4},
      {jpeg::InverseDct2x2Fast, 2},    {jpeg::InverseDct1x1Fast, 1}};
  for (auto [transform, size] : transforms) {
    for (int trial = 0; trial < 200; ++trial) {
      Block b;
      for (auto& c : b) c = static_cast<int16_t>(trial % 2 ? (rng() & 1 ? 32767 : -32768) : rng());
      transform(b.data());
      for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c) {
          ASSERT_GE(b[8 * r + c], 0);
          ASSERT_LE(b[8 * r + c], 255);
        }
    }
  }
}

TEST(Dequantize, MultiplyKeepsTheLow16BitsOfTheProduct) {
  Block b{}, table{};
  b.fill(3);
  table.fill(7);
  b[0] = 300, table[0] = 200;  // 60000 wraps to -5536
  b[1] = -2, table[1] = 255;
  b[63] = 32767, table[63] = 2;
  jpeg::DequantizeMultiply(b.data(), table.data());
  EXPECT_EQ(b[0], -5536);
  EXPECT_EQ(b[1], -510);
  EXPECT_EQ(b[63], -2);
  EXPECT_EQ(b[30], 21);
}

TEST(Dequantize, ScaledRoundsAndShiftsArithmetically) {
  Block b{}, table{};
  table.fill(4096);                // a quantiser of 16 at (0, 0) prescaled for the fast transform
  b[0] = 1;                        // (4096 + 64) >> 7 = 32
  b[1] = -1;                       // (-4096 + 64) >> 7 = -32 (floor of -31.5)
  table[2] = 65, b[2] = -1;        // (-65 + 64) >> 7 = -1
  table[3] = 64, b[3] = -1;        // (-64 + 64) >> 7 = 0
  table[4] = 4925, b[4] = 13;      // 64025 + 64 = 64089 >> 7 = 500
  table[5] = 32767, b[5] = 32767;  // 1073676289 + 64 >> 7 = 8388096, low 16 bits
  jpeg::DequantizeScaled(b.data(), table.data());
  EXPECT_EQ(b[0], 32);
  EXPECT_EQ(b[1], -32);
  EXPECT_EQ(b[2], -1);
  EXPECT_EQ(b[3], 0);
  EXPECT_EQ(b[4], 500);
  EXPECT_EQ(b[5], static_cast<int16_t>(8388096 & 0xFFFF));
  EXPECT_EQ(b[6], 0);
}

// Blocks for the bit-exactness checks below: typical and scaled-up spectra, sparse blocks,
// blocks with whole rows and columns of zeros (the transforms' shortcuts), DC-only blocks and
// extreme or fully random 16-bit values (the defined 32-bit wrapping). Only the raw mt19937
// output is used, so the blocks are the same with every standard library.
std::vector<Block> StressBlocks() {
  std::mt19937 rng(20240611);
  auto below = [&rng](uint32_t n) { return static_cast<int>(rng() % n); };
  auto signed_below = [&below](int n) { return below(2 * n + 1) - n; };
  constexpr int16_t kExtremes[] = {-32768, -32767, -1, 0, 1, 32766, 32767};
  std::vector<Block> blocks;
  for (int trial = 0; trial < 12000; ++trial) {
    Block b{};
    switch (trial % 6) {
      case 0: {
        const int peak = (trial / 6) % 3 == 0 ? 50 : (trial / 6) % 3 == 1 ? 400 : 4000;
        for (int i = 0; i < 64; ++i)
          b[i] = static_cast<int16_t>(signed_below(peak / (1 + i / 8 + i % 8)));
        break;
      }
      case 1:
        for (auto& c : b)
          if (below(8) == 0) c = static_cast<int16_t>(signed_below(1024));
        break;
      case 2: {
        const uint32_t zero_rows = rng() & 0xFF, zero_columns = rng() & 0xFF;
        for (int i = 0; i < 64; ++i)
          if (!(zero_rows >> (i / 8) & 1) && !(zero_columns >> (i % 8) & 1))
            b[i] = static_cast<int16_t>(signed_below(2000));
        break;
      }
      case 3:
        b[0] = static_cast<int16_t>(rng());
        break;
      case 4:
        for (auto& c : b) c = below(3) ? kExtremes[below(7)] : static_cast<int16_t>(rng());
        break;
      default:
        for (auto& c : b) c = static_cast<int16_t>(rng());
    }
    blocks.push_back(b);
  }
  return blocks;
}

uint64_t Fnv1a(uint64_t hash, int16_t value) {
  for (int byte = 0; byte < 2; ++byte) {
    hash ^= static_cast<uint16_t>(value) >> (8 * byte) & 0xFF;
    hash *= 0x100000001B3u;
  }
  return hash;
}

// Hash of the defined NxN corner of every stress block's output.
uint64_t TransformHash(Transform transform, int size) {
  uint64_t hash = 0xCBF29CE484222325u;
  for (Block b : StressBlocks()) {
    transform(b.data());
    for (int r = 0; r < size; ++r)
      for (int c = 0; c < size; ++c) hash = Fnv1a(hash, b[8 * r + c]);
  }
  return hash;
}

// Hash of every stress block dequantised against the next block taken as the table.
uint64_t DequantizeHash(void (*dequantize)(int16_t*, const int16_t*)) {
  const std::vector<Block> blocks = StressBlocks();
  uint64_t hash = 0xCBF29CE484222325u;
  for (size_t i = 0; i < blocks.size(); ++i) {
    Block b = blocks[i];
    dequantize(b.data(), blocks[(i + 1) % blocks.size()].data());
    for (int16_t v : b) hash = Fnv1a(hash, v);
  }
  return hash;
}

// The plain routines define the results bit for bit; these hashes pin them, so that any
// rework of the kernels for speed must reproduce every output, wrapping included.
constexpr uint64_t kPrecise8x8Hash = 0x7EF77080F61B0837u;

TEST(InverseDct, OutputsAreBitExactOverStressBlocks) {
  EXPECT_EQ(TransformHash(jpeg::InverseDct8x8Precise, 8), kPrecise8x8Hash);
  EXPECT_EQ(TransformHash(jpeg::InverseDct4x4Precise, 4), 0xD965084610164638u);
  EXPECT_EQ(TransformHash(jpeg::InverseDct2x2Precise, 2), 0x46580E6F81036757u);
  EXPECT_EQ(TransformHash(jpeg::InverseDct1x1Precise, 1), 0xC4711587BE6B1E9Du);
  EXPECT_EQ(TransformHash(jpeg::InverseDct8x8Fast, 8), 0x7BFF6991550D2C51u);
  EXPECT_EQ(TransformHash(jpeg::InverseDct4x4Fast, 4), 0x3890526664D25114u);
  EXPECT_EQ(TransformHash(jpeg::InverseDct2x2Fast, 2), 0xEF92A46CB92B5C23u);
  EXPECT_EQ(TransformHash(jpeg::InverseDct1x1Fast, 1), 0x1D5BF8A6FF22DDD5u);
}

// The vector kernels must give the plain results for every input, alone and with the
// dequantisation fused in (as must the plain fused kernels); each runs where the processor
// can execute it.
struct PreciseKernel {
  const char* name;
  int size;
  bool needs_avx2;
  Transform transform;
  void (*fused)(int16_t*, const int16_t*);
};
const PreciseKernel kPreciseKernels[] = {
    {"Plain", 8, false, jpeg::InverseDct8x8Precise, jpeg::DequantizeInverseDct8x8Precise},
    {"Sse2", 8, false, jpeg::InverseDct8x8PreciseSse2, jpeg::DequantizeInverseDct8x8PreciseSse2},
    {"Avx2", 8, true, jpeg::InverseDct8x8PreciseAvx2, jpeg::DequantizeInverseDct8x8PreciseAvx2},
    {"Plain", 4, false, jpeg::InverseDct4x4Precise, jpeg::DequantizeInverseDct4x4Precise},
    {"Sse2", 4, false, jpeg::InverseDct4x4PreciseSse2, jpeg::DequantizeInverseDct4x4PreciseSse2},
    {"Avx2", 4, true, jpeg::InverseDct4x4PreciseAvx2, jpeg::DequantizeInverseDct4x4PreciseAvx2},
    {"Plain", 2, false, jpeg::InverseDct2x2Precise, jpeg::DequantizeInverseDct2x2Precise},
    {"Sse2", 2, false, jpeg::InverseDct2x2PreciseSse2, jpeg::DequantizeInverseDct2x2PreciseSse2},
    {"Avx2", 2, true, jpeg::InverseDct2x2PreciseAvx2, jpeg::DequantizeInverseDct2x2PreciseAvx2},
    {"Plain", 1, false, jpeg::InverseDct1x1Precise, jpeg::DequantizeInverseDct1x1Precise},
};

bool Runs(const PreciseKernel& kernel) {
  jpeg::DetectProcessor();
  return !kernel.needs_avx2 || jpeg::GetProcessorInfo().avx2;
}

// The plain kernels' hashes are pinned above.
TEST(InverseDct, VectorPreciseTransformsAreBitExact) {
  for (const auto& kernel : kPreciseKernels) {
    const auto plain =
        std::find_if(std::begin(kPreciseKernels), std::end(kPreciseKernels),
                     [&kernel](const PreciseKernel& k) { return k.size == kernel.size; });
    if (!Runs(kernel) || plain == &kernel) continue;
    EXPECT_EQ(TransformHash(kernel.transform, kernel.size),
              TransformHash(plain->transform, kernel.size))
        << kernel.name << " " << kernel.size;
  }
}

// Against the plain dequantisation and transform, over stress blocks and tables: the next
// stress block (any 16-bit factor) and the extreme tables a DQT can hold (1, 255, 65535).
// The samples of the transform's corner must match; guard cells around the block and the
// cells outside the corner of a reduced size are never written past the block.
void ExpectFusedMatchesPlainPair(void (*dequantize)(int16_t*, const int16_t*), Transform transform,
                                 void (*fused)(int16_t*, const int16_t*), int size,
                                 const char* name) {
  const std::vector<Block> blocks = StressBlocks();
  std::vector<Block> tables;
  for (int16_t factor : {1, 255, -1}) tables.push_back(Block{}), tables.back().fill(factor);
  constexpr int16_t kGuard = 0x5A5A;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Block& table = i % 4 < 3 ? tables[i % 4] : blocks[(i + 1) % blocks.size()];
    Block expected = blocks[i];
    dequantize(expected.data(), table.data());
    transform(expected.data());
    std::array<int16_t, 64 + 16> guarded;
    guarded.fill(kGuard);
    std::copy(blocks[i].begin(), blocks[i].end(), guarded.begin() + 8);
    fused(guarded.data() + 8, table.data());
    for (int r = 0; r < size; ++r)
      ASSERT_TRUE(std::equal(expected.begin() + 8 * r, expected.begin() + 8 * r + size,
                             guarded.begin() + 8 + 8 * r))
          << name << " " << size << " block " << i;
    ASSERT_TRUE(
        std::all_of(guarded.begin(), guarded.begin() + 8, [](int16_t v) { return v == kGuard; }));
    ASSERT_TRUE(
        std::all_of(guarded.end() - 8, guarded.end(), [](int16_t v) { return v == kGuard; }));
  }
}

TEST(InverseDct, FusedDequantizingTransformsMatchThePlainPair) {
  for (const auto& kernel : kPreciseKernels) {
    if (Runs(kernel))
      ExpectFusedMatchesPlainPair(jpeg::DequantizeMultiply, kernel.transform, kernel.fused,
                                  kernel.size, kernel.name);
  }
  ExpectFusedMatchesPlainPair(jpeg::DequantizeScaled, jpeg::InverseDct1x1Fast,
                              jpeg::DequantizeInverseDct1x1Fast, 1, "Fast");
}

TEST(Dequantize, OutputsAreBitExactOverStressBlocks) {
  EXPECT_EQ(DequantizeHash(jpeg::DequantizeMultiply), 0xA9DDB60417D4427Fu);
  EXPECT_EQ(DequantizeHash(jpeg::DequantizeMultiplySse2), 0xA9DDB60417D4427Fu);
  EXPECT_EQ(DequantizeHash(jpeg::DequantizeScaled), 0xDFAAE431C92BC53Au);
}

TEST(TransformSize, FollowsTheScaleAndGrowsForUnsubsampledComponentsOfSquareImages) {
  EXPECT_EQ(jpeg::TransformSize(1, true, 1), 8);
  EXPECT_EQ(jpeg::TransformSize(1, false, 4), 8);
  EXPECT_EQ(jpeg::TransformSize(2, false, 1), 4);
  EXPECT_EQ(jpeg::TransformSize(4, false, 1), 2);
  EXPECT_EQ(jpeg::TransformSize(8, false, 1), 1);
  EXPECT_EQ(jpeg::TransformSize(2, true, 1), 8);
  EXPECT_EQ(jpeg::TransformSize(4, true, 1), 4);
  EXPECT_EQ(jpeg::TransformSize(8, true, 1), 2);
  EXPECT_EQ(jpeg::TransformSize(2, true, 4), 4);
  EXPECT_EQ(jpeg::TransformSize(8, true, 4), 1);
}

}  // namespace

namespace {

TEST(SelectDctRoutines, InstallsThePreciseFamilyForMethodOneAndTheFastOneOtherwise) {
  RoutineTable table{};
  jpeg::InstallDctRoutines(table, jpeg::CPU_CLASS_GENERIC);
  EXPECT_EQ(table.Dequantize, &jpeg::DequantizeScaled);  // until a read selects
  jpeg::SelectDctRoutines(table, DCT_METHOD_PRECISE);
  EXPECT_EQ(table.InverseDct8x8, &jpeg::InverseDct8x8Precise);
  EXPECT_EQ(table.InverseDct1x1, &jpeg::InverseDct1x1Precise);
  EXPECT_EQ(table.Dequantize, &jpeg::DequantizeMultiply);
  jpeg::SelectDctRoutines(table, DCT_METHOD_FAST);
  EXPECT_EQ(table.InverseDct8x8, &jpeg::InverseDct8x8Fast);
  EXPECT_EQ(table.InverseDct4x4, &jpeg::InverseDct4x4Fast);
  EXPECT_EQ(table.Dequantize, &jpeg::DequantizeScaled);
}

// Classes 3-6 run SSE2 code; the SSE and SSE2 classes (5, 6) run AVX2 where the processor
// has it. Each precise transform comes with its fused dequantising kernel; the plain fast
// 8x8 one has none.
TEST(SelectDctRoutines, SimdClassesGetTheVectorKernelsAndTheirFusedForm) {
  jpeg::DetectProcessor();
  const bool avx2 = jpeg::GetProcessorInfo().avx2;
  for (int c = jpeg::CPU_CLASS_GENERIC; c <= jpeg::CPU_CLASS_FAMILY15_SSE2; ++c) {
    RoutineTable table{};
    jpeg::InstallDctRoutines(table, static_cast<jpeg::ProcessorClass>(c));
    jpeg::SelectDctRoutines(table, DCT_METHOD_PRECISE);
    const bool simd = c >= jpeg::CPU_CLASS_FAMILY5_MMX;
    const bool wide = c >= jpeg::CPU_CLASS_FAMILY6_SSE && avx2;
    EXPECT_STREQ(table.routine_names[jpeg::RoutineSlotIndex(table, &table.InverseDct8x8)],
                 !simd  ? "InverseDct8x8Precise"
                 : wide ? "InverseDct8x8PreciseAvx2"
                        : "InverseDct8x8PreciseSse2")
        << "class " << c;
    EXPECT_EQ(table.Dequantize, simd ? &jpeg::DequantizeMultiplySse2 : &jpeg::DequantizeMultiply);
    const auto fused = jpeg::FusedDequantizeTransform(table, table.InverseDct8x8);
    EXPECT_EQ(fused, !simd  ? &jpeg::DequantizeInverseDct8x8Precise
                     : wide ? &jpeg::DequantizeInverseDct8x8PreciseAvx2
                            : &jpeg::DequantizeInverseDct8x8PreciseSse2);
    EXPECT_STREQ(table.routine_names[jpeg::RoutineSlotIndex(table, &table.InverseDct4x4)],
                 !simd  ? "InverseDct4x4Precise"
                 : wide ? "InverseDct4x4PreciseAvx2"
                        : "InverseDct4x4PreciseSse2")
        << "class " << c;
    EXPECT_EQ(jpeg::FusedDequantizeTransform(table, table.InverseDct2x2),
              !simd  ? &jpeg::DequantizeInverseDct2x2Precise
              : wide ? &jpeg::DequantizeInverseDct2x2PreciseAvx2
                     : &jpeg::DequantizeInverseDct2x2PreciseSse2);
    jpeg::SelectDctRoutines(table, DCT_METHOD_FAST);
    EXPECT_EQ(jpeg::FusedDequantizeTransform(table, table.InverseDct8x8),
              !simd  ? nullptr
              : wide ? &jpeg::DequantizeInverseDct8x8FastAvx2
                     : &jpeg::DequantizeInverseDct8x8FastSse2);
  }
}

}  // namespace
