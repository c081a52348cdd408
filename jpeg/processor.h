// Processor detection and classification: which family of kernels this machine runs.
// CPUID is read once per process; a registry value may force a class. The
// classification rules are pure functions of the CPUID values and the override, so
// tests can feed simulated processors.
#pragma once

#include <cstdint>

struct RoutineTable;

namespace jpeg {

struct ProcessorInfo {
  uint32_t brand_index;     // leaf 1 EBX bits 0-7
  uint32_t processor_type;  // leaf 1 EAX bits 12-13
  uint32_t family;          // leaf 1 EAX bits 8-11 (base family only)
  uint32_t model;           // leaf 1 EAX bits 4-7
  uint32_t stepping;        // leaf 1 EAX bits 0-3
  uint32_t feature_flags;   // leaf 1 EDX
  char vendor[13];          // leaf 0 EBX, EDX, ECX; blanks without CPUID
  bool avx2;                // leaf 7 EBX bit 5 with OS support for the YMM state
  bool bmi2;                // leaf 7 EBX bit 8, with BMI1 (bit 3) and MOVBE (leaf 1 ECX bit 22)
};

enum ProcessorClass : int32_t {
  CPU_CLASS_GENERIC = 0,
  CPU_CLASS_FAMILY5 = 1,
  CPU_CLASS_FAMILY6 = 2,
  CPU_CLASS_FAMILY5_MMX = 3,
  CPU_CLASS_FAMILY6_MMX = 4,
  CPU_CLASS_FAMILY6_SSE = 5,
  CPU_CLASS_FAMILY15_SSE2 = 6,
};

inline constexpr uint32_t kFeatureMmx = 0x800000;
inline constexpr uint32_t kFeatureSse = 0x2000000;
inline constexpr uint32_t kFeatureSse2 = 0x4000000;
// The scalar extensions the BMI2 block decoders are built with: BMI2 and the two that come
// with it, each asked for.
inline constexpr uint32_t kFeatureMovbe = 1u << 22;  // leaf 1 ECX
inline constexpr uint32_t kFeatureBmi1 = 1u << 3;    // leaf 7 EBX
inline constexpr uint32_t kFeatureBmi2 = 1u << 8;    // leaf 7 EBX

// Raw CPUID register values, as DetectProcessor reads them.
struct CpuidValues {
  uint32_t highest_leaf;
  uint32_t leaf0_ebx, leaf0_edx, leaf0_ecx;
  uint32_t leaf1_eax, leaf1_ebx, leaf1_ecx, leaf1_edx;
  uint32_t leaf7_ebx;  // sub-leaf 0
  bool avx2;
};

// Fills the process-wide record from CPUID on the first call; later calls keep it.
void DetectProcessor();
// The record, detected on first use.
const ProcessorInfo& GetProcessorInfo();
// The record for given CPUID values (what DetectProcessor stores).
ProcessorInfo ProcessorInfoFromCpuid(const CpuidValues& values);

// Detects, then applies the override (0..6 wins) or the family rules.
ProcessorClass ClassifyProcessor(RoutineTable* table);
// The class rules alone: override 0..6 wins, else by family and feature bits.
ProcessorClass ClassifyProcessorInfo(const ProcessorInfo& info, int32_t override_value);

}  // namespace jpeg
