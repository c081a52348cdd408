// Slots of the colour-output stage. Every processor class gets the plain kernels,
// which define the results; WriteMcuOutput is chosen per read by the frame set-up.
#include "jpeg/passthrough_output.h"
#include "jpeg/routine_table.h"
#include "jpeg/ycc_output.h"

namespace jpeg {

void InstallOutputRoutines(RoutineTable& t, ProcessorClass) {
  InstallRoutine(t, t.OutputGray, &OutputGray, "OutputGray");
  InstallPlainYccKernels(t);
  InstallRoutine(t, t.OutputInterleave3, &OutputInterleave3, "OutputInterleave3");
  InstallRoutine(t, t.OutputReplicate2x1, &OutputReplicate2x1, "OutputReplicate2x1");
  InstallRoutine(t, t.OutputReplicate2x2, &OutputReplicate2x2, "OutputReplicate2x2");
  InstallRoutine(t, t.OutputInterleave3Alpha, &OutputInterleave3Alpha, "OutputInterleave3Alpha");
  InstallRoutine(t, t.OutputPack422, &OutputPack422, "OutputPack422");
  InstallRoutine(t, t.OutputInterleave4, &OutputInterleave4, "OutputInterleave4");
}

}  // namespace jpeg
