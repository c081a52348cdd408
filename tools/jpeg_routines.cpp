// Prints which routine each slot of the codec's routine table got on this machine,
// for the processor class chosen (SETUVIA_JPEG_USECPU forces one, as for the codec).
#include <cstdio>

#include "jpeg/processor.h"
#include "jpeg/routine_table.h"

int main() {
  RoutineTable table{};
  jpeg::SetUpRoutineTable(&table);
  const jpeg::ProcessorClass classified = jpeg::ClassifyProcessor(&table);
  const jpeg::ProcessorInfo& info = jpeg::GetProcessorInfo();
  std::printf("vendor \"%s\" family %u model %u stepping %u features 0x%08x avx2 %d bmi2 %d\n",
              info.vendor, info.family, info.model, info.stepping, info.feature_flags,
              info.avx2 ? 1 : 0, info.bmi2 ? 1 : 0);
  std::printf("class %d, installed %d\n", classified, jpeg::InstalledClass(classified, info));
  for (int i = 0; i < jpeg::kRoutineSlotCount; ++i) {
    const char* routine = table.routine_names[i];
    std::printf("%2d %-24s %s\n", i, jpeg::kRoutineSlotNames[i],
                routine ? routine : (jpeg::RoutineSlotFilled(table, i) ? "(unnamed)" : "-"));
  }
  jpeg::ReleaseRoutineTable(&table);
  return 0;
}
