// Processor detection (CPUID) and the class rules. The record is process-wide and
// filled once, by the first detection: CPUID answers the same every time, and records
// initialised on several threads at once must not race on it. Without CPUID (not an
// x86 processor) the record stays blank and the class is the plain one.
#include "jpeg/processor.h"

#include <cstring>

#include "jpeg/registry.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define JPEG_HAVE_CPUID 1
#endif

namespace jpeg {
namespace {

ProcessorInfo BlankProcessorInfo() {
  ProcessorInfo info{};
  std::memset(info.vendor, ' ', 12);
  info.vendor[12] = '\0';
  return info;
}

#ifdef JPEG_HAVE_CPUID
// XCR0, the register state the operating system saves (needs OSXSAVE).
uint64_t ReadXcr0() {
  uint32_t low, high;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (static_cast<uint64_t>(high) << 32) | low;
}

// Whether the operating system saves the YMM state, from leaf 1 ECX (XCR0 needs OSXSAVE).
bool OsSavesYmm(uint32_t leaf1_ecx) {
  return (leaf1_ecx & bit_OSXSAVE) && ((ReadXcr0() & 6) == 6);
}

bool ReadCpuid(CpuidValues& values) {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx)) return false;
  values.highest_leaf = eax;
  values.leaf0_ebx = ebx;
  values.leaf0_edx = edx;
  values.leaf0_ecx = ecx;
  if (eax == 0) return true;
  __get_cpuid(1, &eax, &ebx, &ecx, &edx);
  values.leaf1_eax = eax;
  values.leaf1_ebx = ebx;
  values.leaf1_ecx = ecx;
  values.leaf1_edx = edx;
  values.leaf7_ebx = 0;
  if (values.highest_leaf >= 7) {
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    values.leaf7_ebx = ebx;
  }
  // AVX2 needs the instruction bit and the operating system's saving of the YMM state.
  values.avx2 = (values.leaf7_ebx & bit_AVX2) != 0 && OsSavesYmm(values.leaf1_ecx);
  return true;
}
#else
bool ReadCpuid(CpuidValues&) {
  return false;
}
#endif

void StoreRegister(char* destination, uint32_t value) {
  std::memcpy(destination, &value, 4);
}

}  // namespace

ProcessorInfo ProcessorInfoFromCpuid(const CpuidValues& values) {
  ProcessorInfo info = BlankProcessorInfo();
  StoreRegister(info.vendor, values.leaf0_ebx);
  StoreRegister(info.vendor + 4, values.leaf0_edx);
  StoreRegister(info.vendor + 8, values.leaf0_ecx);
  if (values.highest_leaf == 0) return info;
  const uint32_t eax = values.leaf1_eax & 0x3FFF;
  info.stepping = eax & 0xF;
  info.model = (eax >> 4) & 0xF;
  info.family = (eax >> 8) & 0xF;
  info.processor_type = (eax >> 12) & 0x3;
  info.brand_index = values.leaf1_ebx & 0xFF;
  info.feature_flags = values.leaf1_edx;
  info.avx2 = values.avx2;
  // Leaf 7 is read only where the processor has it.
  const uint32_t leaf7_ebx = values.highest_leaf >= 7 ? values.leaf7_ebx : 0;
  info.bmi2 = (leaf7_ebx & kFeatureBmi1) && (leaf7_ebx & kFeatureBmi2) &&
              (values.leaf1_ecx & kFeatureMovbe);
  return info;
}

void DetectProcessor() {
  (void)GetProcessorInfo();
}

const ProcessorInfo& GetProcessorInfo() {
  static const ProcessorInfo info = [] {
    CpuidValues values{};
    return ReadCpuid(values) ? ProcessorInfoFromCpuid(values) : BlankProcessorInfo();
  }();
  return info;
}

ProcessorClass ClassifyProcessorInfo(const ProcessorInfo& info, int32_t override_value) {
  if (override_value >= 0 && override_value <= 6)
    return static_cast<ProcessorClass>(override_value);
  const bool mmx = info.feature_flags & kFeatureMmx;
  const bool sse = info.feature_flags & kFeatureSse;
  const bool sse2 = info.feature_flags & kFeatureSse2;
  switch (info.family) {
    case 5:
      return mmx ? CPU_CLASS_FAMILY5_MMX : CPU_CLASS_FAMILY5;
    case 6:
      if (!mmx) return CPU_CLASS_FAMILY6;
      return sse ? CPU_CLASS_FAMILY6_SSE : CPU_CLASS_FAMILY6_MMX;
    case 15:
      return sse2 ? CPU_CLASS_FAMILY15_SSE2 : CPU_CLASS_GENERIC;
    default:
      return CPU_CLASS_GENERIC;
  }
}

ProcessorClass ClassifyProcessor(RoutineTable* table) {
  return ClassifyProcessorInfo(GetProcessorInfo(), ReadUseCpuOverride(table));
}

}  // namespace jpeg
