// Routine table set-up: the one place that chooses the kernels for the processor.
// It loads the registry stand-in (for the USECPU override), classifies the processor,
// lowers the class to what this processor can execute and lets each stage fill its
// slots for the class. The process-wide memory helpers are constants, so tables set
// up on several threads at once share nothing that is written.
#include "jpeg/routine_table.h"

#include <cstring>

#include "jpeg/simd/simd_routines.h"

namespace jpeg {
namespace {

void CopyBytes(void* destination, const void* source, size_t length) {
  std::memmove(destination, source, length);
}

void ZeroBytes(void* buffer, size_t length) {
  std::memset(buffer, 0, length);
}

void EndSimdPlain() {}

void LoadRegistryFunctions(RoutineTable& table) {
  if (table.registry_library == nullptr) table.registry_library = LoadRegistryLibrary();
  const RegistryLibrary* library = table.registry_library;
  if (library == nullptr) return;
  table.reg_open_key =
      reinterpret_cast<RegOpenKeyFunction>(FindRegistryFunction(library, "RegOpenKeyExA"));
  if (!table.reg_open_key) return;
  table.reg_query_value =
      reinterpret_cast<RegQueryValueFunction>(FindRegistryFunction(library, "RegQueryValueExA"));
  if (!table.reg_query_value) return;
  table.reg_close_key =
      reinterpret_cast<RegCloseKeyFunction>(FindRegistryFunction(library, "RegCloseKey"));
}

void InstallEndSimd(RoutineTable& table, ProcessorClass processor_class) {
  if (processor_class >= CPU_CLASS_FAMILY5_MMX)
    InstallRoutine(table, table.EndSimd, &EndSimdEmms, "EndSimdEmms");
  else
    InstallRoutine(table, table.EndSimd, &EndSimdPlain, "EndSimdPlain");
}

}  // namespace

const CopyRoutine CodecCopy = CopyBytes;
const ZeroRoutine CodecZero = ZeroBytes;

#define JPEG_ROUTINE_SLOT_NAME(slot, name, type) #name,
const char* const kRoutineSlotNames[kRoutineSlotCount] = {
    JPEG_ROUTINE_SLOTS(JPEG_ROUTINE_SLOT_NAME)};
#undef JPEG_ROUTINE_SLOT_NAME

int RoutineSlotIndex(const RoutineTable& table, const void* slot) {
  const auto first = reinterpret_cast<const char*>(&table.EndSimd);
  return static_cast<int>((static_cast<const char*>(slot) - first) / sizeof(void*));
}

bool RoutineSlotFilled(const RoutineTable& table, int i) {
  void* slots[kRoutineSlotCount];
  std::memcpy(slots, &table.EndSimd, sizeof slots);
  return slots[i] != nullptr;
}

ProcessorClass InstalledClass(ProcessorClass classified, const ProcessorInfo& info) {
  // The MMX and SSE classes run 128-bit SSE2 code here.
  if (classified >= CPU_CLASS_FAMILY5_MMX && !(info.feature_flags & kFeatureSse2))
    return CPU_CLASS_GENERIC;
  if (classified < CPU_CLASS_GENERIC || classified > CPU_CLASS_FAMILY15_SSE2)
    return CPU_CLASS_GENERIC;
  return classified;
}

int32_t SetUpRoutineTable(RoutineTable* table) {
  LoadRegistryFunctions(*table);
  const ProcessorClass processor_class =
      InstalledClass(ClassifyProcessor(table), GetProcessorInfo());
  InstallEndSimd(*table, processor_class);
  InstallHuffmanRoutines(*table, processor_class);
  InstallDctRoutines(*table, processor_class);
  InstallOutputRoutines(*table, processor_class);
  return 1;
}

void ReleaseRoutineTable(RoutineTable* table) {
  if (table == nullptr) return;
  if (table->registry_library != nullptr) FreeRegistryLibrary(table->registry_library);
  table->registry_library = nullptr;
  table->reg_open_key = nullptr;
  table->reg_query_value = nullptr;
  table->reg_close_key = nullptr;
}

}  // namespace jpeg
