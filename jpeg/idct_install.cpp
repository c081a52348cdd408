// Slots of the dequantisation and inverse-DCT stage. Until its kernels arrive the
// slots stay empty and a decoding read refuses to run without them.
#include "jpeg/routine_table.h"

namespace jpeg {

void InstallDctRoutines(RoutineTable&, ProcessorClass) {}

}  // namespace jpeg
