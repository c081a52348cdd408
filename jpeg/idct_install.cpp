// Slots of the dequantisation and inverse-DCT stage. Every class gets the plain
// routines, which define the results; the installed slots are chosen per read by
// SelectDctRoutines.
#include "jpeg/dequantize.h"
#include "jpeg/idct.h"
#include "jpeg/routine_table.h"

namespace jpeg {

void InstallDctRoutines(RoutineTable& t, ProcessorClass) {
  InstallRoutine(t, t.InverseDct8x8Fast, &InverseDct8x8Fast, "InverseDct8x8Fast");
  InstallRoutine(t, t.InverseDct4x4Fast, &InverseDct4x4Fast, "InverseDct4x4Fast");
  InstallRoutine(t, t.InverseDct2x2Fast, &InverseDct2x2Fast, "InverseDct2x2Fast");
  InstallRoutine(t, t.InverseDct1x1Fast, &InverseDct1x1Fast, "InverseDct1x1Fast");
  InstallRoutine(t, t.InverseDct8x8Precise, &InverseDct8x8Precise, "InverseDct8x8Precise");
  InstallRoutine(t, t.InverseDct4x4Precise, &InverseDct4x4Precise, "InverseDct4x4Precise");
  InstallRoutine(t, t.InverseDct2x2Precise, &InverseDct2x2Precise, "InverseDct2x2Precise");
  InstallRoutine(t, t.InverseDct1x1Precise, &InverseDct1x1Precise, "InverseDct1x1Precise");
  InstallRoutine(t, t.DequantizeScaled, &DequantizeScaled, "DequantizeScaled");
  InstallRoutine(t, t.DequantizeMultiply, &DequantizeMultiply, "DequantizeMultiply");
  InstallRoutine(t, t.Dequantize, &DequantizeScaled, "DequantizeScaled");
}

void SelectDctRoutines(RoutineTable& t, int32_t dct_method) {
  if (dct_method == DCT_METHOD_PRECISE) {
    InstallRoutine(t, t.InverseDct8x8, t.InverseDct8x8Precise, "InverseDct8x8Precise");
    InstallRoutine(t, t.InverseDct4x4, t.InverseDct4x4Precise, "InverseDct4x4Precise");
    InstallRoutine(t, t.InverseDct2x2, t.InverseDct2x2Precise, "InverseDct2x2Precise");
    InstallRoutine(t, t.InverseDct1x1, t.InverseDct1x1Precise, "InverseDct1x1Precise");
    InstallRoutine(t, t.Dequantize, t.DequantizeMultiply, "DequantizeMultiply");
  } else {
    InstallRoutine(t, t.InverseDct8x8, t.InverseDct8x8Fast, "InverseDct8x8Fast");
    InstallRoutine(t, t.InverseDct4x4, t.InverseDct4x4Fast, "InverseDct4x4Fast");
    InstallRoutine(t, t.InverseDct2x2, t.InverseDct2x2Fast, "InverseDct2x2Fast");
    InstallRoutine(t, t.InverseDct1x1, t.InverseDct1x1Fast, "InverseDct1x1Fast");
    InstallRoutine(t, t.Dequantize, t.DequantizeScaled, "DequantizeScaled");
  }
}

}  // namespace jpeg
