// Slots of the dequantisation and inverse-DCT stage. The plain routines define the
// results; the SIMD classes (3-6, which run SSE2 code here) get vector kernels with the
// same results for the two 8x8 transforms, the precise 4x4 and 2x2 transforms and the
// multiply, and the SSE and SSE2 classes (5, 6: every processor of this century) run the
// transforms in AVX2 where the processor has it, as the colour kernels do. The installed slots are
// chosen per read by SelectDctRoutines; a transform with a fused dequantising kernel is found by
// FusedDequantizeTransform.
#include "jpeg/dequantize.h"
#include "jpeg/idct.h"
#include "jpeg/routine_table.h"
#include "jpeg/simd/simd_routines.h"

namespace jpeg {
namespace {

// The instruction set of the vector transforms for a class.
enum class TransformIsa { kPlain, kSse2, kAvx2 };

TransformIsa TransformIsaOf(ProcessorClass processor_class) {
  if (processor_class < CPU_CLASS_FAMILY5_MMX) return TransformIsa::kPlain;
  if (processor_class >= CPU_CLASS_FAMILY6_SSE && GetProcessorInfo().avx2)
    return TransformIsa::kAvx2;
  return TransformIsa::kSse2;
}

void InstallTransforms(RoutineTable& t, ProcessorClass processor_class) {
  switch (TransformIsaOf(processor_class)) {
    case TransformIsa::kPlain:
      InstallRoutine(t, t.InverseDct8x8Fast, &InverseDct8x8Fast, "InverseDct8x8Fast");
      InstallRoutine(t, t.InverseDct8x8Precise, &InverseDct8x8Precise, "InverseDct8x8Precise");
      InstallRoutine(t, t.InverseDct4x4Precise, &InverseDct4x4Precise, "InverseDct4x4Precise");
      InstallRoutine(t, t.InverseDct2x2Precise, &InverseDct2x2Precise, "InverseDct2x2Precise");
      break;
    case TransformIsa::kSse2:
      InstallRoutine(t, t.InverseDct8x8Fast, &InverseDct8x8FastSse2, "InverseDct8x8FastSse2");
      InstallRoutine(t, t.InverseDct8x8Precise, &InverseDct8x8PreciseSse2,
                     "InverseDct8x8PreciseSse2");
      InstallRoutine(t, t.InverseDct4x4Precise, &InverseDct4x4PreciseSse2,
                     "InverseDct4x4PreciseSse2");
      InstallRoutine(t, t.InverseDct2x2Precise, &InverseDct2x2PreciseSse2,
                     "InverseDct2x2PreciseSse2");
      break;
    case TransformIsa::kAvx2:
      InstallRoutine(t, t.InverseDct8x8Fast, &InverseDct8x8FastAvx2, "InverseDct8x8FastAvx2");
      InstallRoutine(t, t.InverseDct8x8Precise, &InverseDct8x8PreciseAvx2,
                     "InverseDct8x8PreciseAvx2");
      InstallRoutine(t, t.InverseDct4x4Precise, &InverseDct4x4PreciseAvx2,
                     "InverseDct4x4PreciseAvx2");
      InstallRoutine(t, t.InverseDct2x2Precise, &InverseDct2x2PreciseAvx2,
                     "InverseDct2x2PreciseAvx2");
      break;
  }
}

// Each transform beside its dequantiser, and the kernel that does both in one pass.
struct FusedKernel {
  DequantizeRoutine dequantize;
  InverseDctRoutine transform;
  DequantizeTransformRoutine fused;
};
constexpr FusedKernel kFusedKernels[] = {
    {&DequantizeMultiply, &InverseDct8x8Precise, &DequantizeInverseDct8x8Precise},
    {&DequantizeMultiplySse2, &InverseDct8x8PreciseSse2, &DequantizeInverseDct8x8PreciseSse2},
    {&DequantizeMultiplySse2, &InverseDct8x8PreciseAvx2, &DequantizeInverseDct8x8PreciseAvx2},
    {&DequantizeScaled, &InverseDct8x8FastSse2, &DequantizeInverseDct8x8FastSse2},
    {&DequantizeScaled, &InverseDct8x8FastAvx2, &DequantizeInverseDct8x8FastAvx2},
    {&DequantizeMultiply, &InverseDct4x4Precise, &DequantizeInverseDct4x4Precise},
    {&DequantizeMultiplySse2, &InverseDct4x4PreciseSse2, &DequantizeInverseDct4x4PreciseSse2},
    {&DequantizeMultiplySse2, &InverseDct4x4PreciseAvx2, &DequantizeInverseDct4x4PreciseAvx2},
    {&DequantizeMultiply, &InverseDct2x2Precise, &DequantizeInverseDct2x2Precise},
    {&DequantizeMultiplySse2, &InverseDct2x2PreciseSse2, &DequantizeInverseDct2x2PreciseSse2},
    {&DequantizeMultiplySse2, &InverseDct2x2PreciseAvx2, &DequantizeInverseDct2x2PreciseAvx2},
    {&DequantizeMultiply, &InverseDct1x1Precise, &DequantizeInverseDct1x1Precise},
    {&DequantizeMultiplySse2, &InverseDct1x1Precise, &DequantizeInverseDct1x1Precise},
    {&DequantizeScaled, &InverseDct1x1Fast, &DequantizeInverseDct1x1Fast},
};

// Installs the routine of slot `from` in slot `to`, under the name it was installed with.
template <typename Routine>
void InstallFrom(RoutineTable& t, Routine& to, Routine& from) {
  InstallRoutine(t, to, from, t.routine_names[RoutineSlotIndex(t, &from)]);
}

}  // namespace

void InstallDctRoutines(RoutineTable& t, ProcessorClass processor_class) {
  InstallTransforms(t, processor_class);
  InstallRoutine(t, t.InverseDct4x4Fast, &InverseDct4x4Fast, "InverseDct4x4Fast");
  InstallRoutine(t, t.InverseDct2x2Fast, &InverseDct2x2Fast, "InverseDct2x2Fast");
  InstallRoutine(t, t.InverseDct1x1Fast, &InverseDct1x1Fast, "InverseDct1x1Fast");
  InstallRoutine(t, t.InverseDct1x1Precise, &InverseDct1x1Precise, "InverseDct1x1Precise");
  InstallRoutine(t, t.DequantizeScaled, &DequantizeScaled, "DequantizeScaled");
  if (processor_class < CPU_CLASS_FAMILY5_MMX)
    InstallRoutine(t, t.DequantizeMultiply, &DequantizeMultiply, "DequantizeMultiply");
  else
    InstallRoutine(t, t.DequantizeMultiply, &DequantizeMultiplySse2, "DequantizeMultiplySse2");
  InstallRoutine(t, t.Dequantize, &DequantizeScaled, "DequantizeScaled");
}

DequantizeTransformRoutine FusedDequantizeTransform(const RoutineTable& t,
                                                    InverseDctRoutine transform) {
  for (const FusedKernel& kernel : kFusedKernels)
    if (kernel.dequantize == t.Dequantize && kernel.transform == transform) return kernel.fused;
  return nullptr;
}

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
