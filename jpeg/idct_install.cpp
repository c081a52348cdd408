// Slots of the dequantisation and inverse-DCT stage. Every class gets the plain
// routines, which define the results, except that the SSE2 class gets the precise 8x8
// transform built for AVX2 where the processor has it (same results); the installed
// slots are chosen per read by SelectDctRoutines.
#include "jpeg/dequantize.h"
#include "jpeg/idct.h"
#include "jpeg/routine_table.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {

void InstallDctRoutines(RoutineTable& t, ProcessorClass processor_class) {
  InstallRoutine(t, t.InverseDct8x8Fast, &InverseDct8x8Fast, "InverseDct8x8Fast");
  InstallRoutine(t, t.InverseDct4x4Fast, &InverseDct4x4Fast, "InverseDct4x4Fast");
  InstallRoutine(t, t.InverseDct2x2Fast, &InverseDct2x2Fast, "InverseDct2x2Fast");
  InstallRoutine(t, t.InverseDct1x1Fast, &InverseDct1x1Fast, "InverseDct1x1Fast");
  if (processor_class == CPU_CLASS_FAMILY15_SSE2 && GetProcessorInfo().avx2)
    InstallRoutine(t, t.InverseDct8x8Precise, &InverseDct8x8PreciseAvx2,
                   "InverseDct8x8PreciseAvx2");
  else
    InstallRoutine(t, t.InverseDct8x8Precise, &InverseDct8x8Precise, "InverseDct8x8Precise");
  InstallRoutine(t, t.InverseDct4x4Precise, &InverseDct4x4Precise, "InverseDct4x4Precise");
  InstallRoutine(t, t.InverseDct2x2Precise, &InverseDct2x2Precise, "InverseDct2x2Precise");
  InstallRoutine(t, t.InverseDct1x1Precise, &InverseDct1x1Precise, "InverseDct1x1Precise");
  InstallRoutine(t, t.DequantizeScaled, &DequantizeScaled, "DequantizeScaled");
  InstallRoutine(t, t.DequantizeMultiply, &DequantizeMultiply, "DequantizeMultiply");
  InstallRoutine(t, t.Dequantize, &DequantizeScaled, "DequantizeScaled");
}

namespace {

// Installs the routine of slot `from` in slot `to`, under the name it was installed with.
template <typename Routine>
void InstallFrom(RoutineTable& t, Routine& to, Routine& from) {
  InstallRoutine(t, to, from, t.routine_names[RoutineSlotIndex(t, &from)]);
}

}  // namespace

void SelectDctRoutines(RoutineTable& t, int32_t dct_method) {
  if (dct_method == DCT_METHOD_PRECISE) {
    InstallFrom(t, t.InverseDct8x8, t.InverseDct8x8Precise);
    InstallFrom(t, t.InverseDct4x4, t.InverseDct4x4Precise);
    InstallFrom(t, t.InverseDct2x2, t.InverseDct2x2Precise);
    InstallFrom(t, t.InverseDct1x1, t.InverseDct1x1Precise);
    InstallFrom(t, t.Dequantize, t.DequantizeMultiply);
  } else {
    InstallFrom(t, t.InverseDct8x8, t.InverseDct8x8Fast);
    InstallFrom(t, t.InverseDct4x4, t.InverseDct4x4Fast);
    InstallFrom(t, t.InverseDct2x2, t.InverseDct2x2Fast);
    InstallFrom(t, t.InverseDct1x1, t.InverseDct1x1Fast);
    InstallFrom(t, t.Dequantize, t.DequantizeScaled);
  }
}

}  // namespace jpeg
