// Processor classes from simulated CPUID values and USECPU overrides, and the
// routine table the classes install.
#include "jpeg/processor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "jpeg/routine_table.h"

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

}  // namespace
