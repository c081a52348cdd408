// Slots of the colour-output stage. The plain kernels define the results; the MMX
// classes (3, 4) get the SSE2 kernels and the SSE classes (5, 6) the AVX2 ones where
// the processor and the system support AVX2, else SSE2. Every version writes the same
// bytes. WriteMcuOutput is chosen per read by the frame set-up.
#include "jpeg/passthrough_output.h"
#include "jpeg/routine_table.h"
#include "jpeg/simd/simd_routines.h"
#include "jpeg/ycc_output.h"

namespace jpeg {
namespace {

void InstallSse2Kernels(RoutineTable& t) {
#define JPEG_INSTALL_SSE2(kernel, slot) InstallRoutine(t, t.slot, &kernel##Sse2, #kernel "Sse2");
  JPEG_SIMD_OUTPUT_KERNELS(JPEG_INSTALL_SSE2)
#undef JPEG_INSTALL_SSE2
}

void InstallAvx2Kernels(RoutineTable& t) {
#define JPEG_INSTALL_AVX2(kernel, slot) InstallRoutine(t, t.slot, &kernel##Avx2, #kernel "Avx2");
  JPEG_SIMD_OUTPUT_KERNELS(JPEG_INSTALL_AVX2)
#undef JPEG_INSTALL_AVX2
  InstallRoutine(t, t.OutputInterleave3, &OutputInterleave3Avx2, "OutputInterleave3Avx2");
  InstallRoutine(t, t.OutputInterleave3Alpha, &OutputInterleave3AlphaAvx2,
                 "OutputInterleave3AlphaAvx2");
}

}  // namespace

void InstallOutputRoutines(RoutineTable& t, ProcessorClass processor_class) {
  InstallRoutine(t, t.OutputGray, &OutputGray, "OutputGray");
  InstallPlainYccKernels(t);
  InstallRoutine(t, t.OutputInterleave3, &OutputInterleave3, "OutputInterleave3");
  InstallRoutine(t, t.OutputReplicate2x1, &OutputReplicate2x1, "OutputReplicate2x1");
  InstallRoutine(t, t.OutputReplicate2x2, &OutputReplicate2x2, "OutputReplicate2x2");
  InstallRoutine(t, t.OutputInterleave3Alpha, &OutputInterleave3Alpha, "OutputInterleave3Alpha");
  InstallRoutine(t, t.OutputPack422, &OutputPack422, "OutputPack422");
  InstallRoutine(t, t.OutputInterleave4, &OutputInterleave4, "OutputInterleave4");
  if (processor_class >= CPU_CLASS_FAMILY6_SSE && GetProcessorInfo().avx2)
    InstallAvx2Kernels(t);
  else if (processor_class >= CPU_CLASS_FAMILY5_MMX)
    InstallSse2Kernels(t);
}

}  // namespace jpeg
