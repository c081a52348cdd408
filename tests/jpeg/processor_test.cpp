// Processor classes from simulated CPUID values and USECPU overrides, the routine
// table the classes install, and records initialised on several threads at once.
#include "jpeg/processor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "jpeg/routine_table.h"
#include "tests/jpeg/support/codec_decode.h"
#include "tests/jpeg/support/corpus.h"

namespace {

using namespace jpeg;

ProcessorInfo Family(uint32_t family, uint32_t features) {
  CpuidValues v{};
  v.highest_leaf = 1;
  v.leaf1_eax = family << 8;
  v.leaf1_edx = features;
  return ProcessorInfoFromCpuid(v);
}

TEST(ProcessorClass, FamilyRules) {
  EXPECT_EQ(ClassifyProcessorInfo(Family(5, 0), -1), CPU_CLASS_FAMILY5);
  EXPECT_EQ(ClassifyProcessorInfo(Family(5, kFeatureMmx), -1), CPU_CLASS_FAMILY5_MMX);
  EXPECT_EQ(ClassifyProcessorInfo(Family(6, 0), -1), CPU_CLASS_FAMILY6);
  EXPECT_EQ(ClassifyProcessorInfo(Family(6, kFeatureSse), -1), CPU_CLASS_FAMILY6);
  EXPECT_EQ(ClassifyProcessorInfo(Family(6, kFeatureMmx), -1), CPU_CLASS_FAMILY6_MMX);
  EXPECT_EQ(ClassifyProcessorInfo(Family(6, kFeatureMmx | kFeatureSse), -1), CPU_CLASS_FAMILY6_SSE);
  EXPECT_EQ(ClassifyProcessorInfo(Family(15, kFeatureSse2), -1), CPU_CLASS_FAMILY15_SSE2);
  EXPECT_EQ(ClassifyProcessorInfo(Family(15, kFeatureMmx), -1), CPU_CLASS_GENERIC);
  EXPECT_EQ(ClassifyProcessorInfo(Family(4, kFeatureMmx), -1), CPU_CLASS_GENERIC);
}

TEST(ProcessorClass, OverrideZeroToSixWins) {
  EXPECT_EQ(ClassifyProcessorInfo(Family(15, kFeatureSse2), 0), CPU_CLASS_GENERIC);
  EXPECT_EQ(ClassifyProcessorInfo(Family(6, kFeatureMmx | kFeatureSse), 3), CPU_CLASS_FAMILY5_MMX);
  EXPECT_EQ(ClassifyProcessorInfo(Family(6, kFeatureMmx), 7), CPU_CLASS_FAMILY6_MMX);
  EXPECT_EQ(ClassifyProcessorInfo(Family(6, kFeatureMmx), -1), CPU_CLASS_FAMILY6_MMX);
}

TEST(ProcessorInfoRecord, HighestLeafZeroKeepsFamilyZero) {
  CpuidValues v{};
  std::memcpy(&v.leaf0_ebx, "Genu", 4);
  std::memcpy(&v.leaf0_edx, "ineI", 4);
  std::memcpy(&v.leaf0_ecx, "ntel", 4);
  v.leaf1_eax = 0x0F00;
  const ProcessorInfo info = ProcessorInfoFromCpuid(v);
  EXPECT_EQ(info.family, 0u);
  EXPECT_STREQ(info.vendor, "GenuineIntel");
  EXPECT_EQ(ClassifyProcessorInfo(info, -1), CPU_CLASS_GENERIC);
}

TEST(ProcessorInfoRecord, FieldsComeFromLeafOne) {
  CpuidValues v{};
  v.highest_leaf = 1;
  v.leaf1_eax = 0xFFFF3A5C;  // masked to 14 bits: type 3, family 10, model 5, stepping 12
  v.leaf1_ebx = 0x1234;
  const ProcessorInfo info = ProcessorInfoFromCpuid(v);
  EXPECT_EQ(info.stepping, 12u);
  EXPECT_EQ(info.model, 5u);
  EXPECT_EQ(info.family, 10u);
  EXPECT_EQ(info.processor_type, 3u);
  EXPECT_EQ(info.brand_index, 0x34u);
}

// The BMI2 block decoders also use BMI1 and MOVBE: all three bits, and leaf 7 present.
TEST(ProcessorInfoRecord, Bmi2NeedsBmi1AndMovbeToo) {
  struct Case {
    uint32_t highest_leaf, leaf1_ecx, leaf7_ebx;
    bool bmi2;
  };
  constexpr uint32_t kBoth = kFeatureBmi1 | kFeatureBmi2;
  for (const Case& c :
       {Case{7, kFeatureMovbe, kBoth, true}, Case{7, 0, kBoth, false},
        Case{7, kFeatureMovbe, kFeatureBmi2, false}, Case{7, kFeatureMovbe, kFeatureBmi1, false},
        Case{6, kFeatureMovbe, kBoth, false}}) {
    CpuidValues v{};
    v.highest_leaf = c.highest_leaf;
    v.leaf1_ecx = c.leaf1_ecx;
    v.leaf7_ebx = c.leaf7_ebx;
    EXPECT_EQ(ProcessorInfoFromCpuid(v).bmi2, c.bmi2)
        << c.highest_leaf << " " << c.leaf1_ecx << " " << c.leaf7_ebx;
  }
}

TEST(ProcessorClass, ForcedClassThisProcessorCannotRunFallsBack) {
  EXPECT_EQ(InstalledClass(CPU_CLASS_FAMILY15_SSE2, Family(6, kFeatureMmx)), CPU_CLASS_GENERIC);
  EXPECT_EQ(InstalledClass(CPU_CLASS_FAMILY5_MMX, Family(15, kFeatureSse2)), CPU_CLASS_FAMILY5_MMX);
  EXPECT_EQ(InstalledClass(CPU_CLASS_FAMILY6, Family(4, 0)), CPU_CLASS_FAMILY6);
}

TEST(UseCpuOverride, ReadFromTheEnvironmentStandIn) {
  RoutineTable table{};
  SetUpRoutineTable(&table);
  setenv("SETUVIA_JPEG_USECPU", "3", 1);
  EXPECT_EQ(ReadUseCpuOverride(&table), 3);
  EXPECT_EQ(ClassifyProcessor(&table), CPU_CLASS_FAMILY5_MMX);
  setenv("SETUVIA_JPEG_USECPU", "abc", 1);
  EXPECT_EQ(ReadUseCpuOverride(&table), -1);
  unsetenv("SETUVIA_JPEG_USECPU");
  EXPECT_EQ(ReadUseCpuOverride(&table), -1);
  ReleaseRoutineTable(&table);
  EXPECT_EQ(table.reg_open_key, nullptr);
  EXPECT_EQ(ReadUseCpuOverride(&table), -1);  // no registry functions: no override
}

TEST(RoutineTableSetUp, EncoderSlotsStayEmptyAndEndSimdIsFilled) {
  for (const char* value : {"0", "6"}) {
    setenv("SETUVIA_JPEG_USECPU", value, 1);
    RoutineTable table{};
    EXPECT_EQ(SetUpRoutineTable(&table), 1);
    EXPECT_TRUE(RoutineSlotFilled(table, 0));
    for (int slot : {1, 2, 11, 16, 17, 18, 19, 33, 54, 57, 58, 59})
      EXPECT_FALSE(RoutineSlotFilled(table, slot)) << kRoutineSlotNames[slot];
    for (int slot : {12, 13, 14, 15, 34}) EXPECT_FALSE(RoutineSlotFilled(table, slot));
    EXPECT_TRUE(RoutineSlotFilled(table, 55));
    ReleaseRoutineTable(&table);
  }
  unsetenv("SETUVIA_JPEG_USECPU");
  EXPECT_STREQ(kRoutineSlotNames[55], "DecodeBlock");
  EXPECT_STREQ(kRoutineSlotNames[62], "Dequantize");
}

TEST(MemoryHelpers, CopyIsOverlapSafeAndZeroClears) {
  RoutineTable table{};
  SetUpRoutineTable(&table);
  char text[] = "abcdef";
  CodecCopy(text + 1, text, 4);
  EXPECT_STREQ(text, "aabcdf");
  CodecZero(text, 3);
  EXPECT_EQ(text[2], '\0');
}

// Each thread initialises its own records and decodes its own pages, again and again;
// every result must equal the one-thread decode (and the tsan preset sees no race).
TEST(Threads, DecodingOnSeveralThreadsAtOnceGivesTheOneThreadResults) {
  std::vector<std::vector<uint8_t>> pages;
  for (const char* dir : {"PageData/0x0409", "PageData_Alpha/0x0409", "PageData_Beta/0x0804"})
    for (const auto& path :
         setuvia::jpegtest::ListFiles(std::filesystem::path(SETUVIA_SOURCE_DIR) / "examples" / dir))
      if (path.extension() == ".jpg") pages.push_back(setuvia::jpegtest::ReadFileBytes(path));
  ASSERT_GE(pages.size(), 4u);
  const auto decode = [](const std::vector<uint8_t>& page) {
    auto image =
        setuvia::jpegtest::DecodeWithCodec(page, setuvia::jpegtest::ColorChoice::kAsProgram);
    return std::vector<uint8_t>(image.Pixels().begin(), image.Pixels().end());
  };
  std::vector<std::vector<uint8_t>> expected;
  for (const auto& page : pages) expected.push_back(decode(page));
  std::vector<int> mismatches(pages.size(), 0);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < pages.size(); ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 3; ++round) mismatches[t] += decode(pages[t]) != expected[t];
    });
  for (auto& thread : threads) thread.join();
  for (size_t t = 0; t < pages.size(); ++t) EXPECT_EQ(mismatches[t], 0) << "page " << t;
}

}  // namespace
