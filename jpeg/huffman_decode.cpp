// Sequential block decoding (T.81 F.2.2): fills the DecodeBlock slots of the routine
// table. The block decoder arrives with the entropy decoding; until then the slots
// stay empty and no image read runs.
#include "jpeg/routine_table.h"

namespace jpeg {

void InstallHuffmanRoutines(RoutineTable&, ProcessorClass) {}

}  // namespace jpeg
