// The per-record routine table: every kernel of the codec is called through it, never
// directly, so that each call costs one indirect call and no processor test. The
// table is filled once per JpegInit for the processor class (processor.h); the
// "installed" slots are chosen again at the start of every read by the stage that
// owns them. The encoder's slots exist so the layout stays whole; they stay empty.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jpeg/jpeg_codec.h"
#include "jpeg/processor.h"
#include "jpeg/registry.h"

namespace jpeg {

using EndSimdRoutine = void (*)();
// Inverse DCT in place: 64 dequantised coefficients in, samples 0..255 out (a reduced
// transform fills the top-left NxN corner with a row stride of 8 cells).
using InverseDctRoutine = void (*)(int16_t* block);
// Dequantise 64 coefficients in place with a prepared (natural-order) table.
using DequantizeRoutine = void (*)(int16_t* block, const int16_t* table);
struct McuTarget;
// Writes one MCU of the work buffer (or, for an image written a component at a time,
// block 0) into the caller's pixel buffer where the sink placed it (mcu_placement.h).
using WriteMcuRoutine = int32_t (*)(JPEG_PROPERTIES* properties, const McuTarget& target);
// Full-MCU output kernel: blocks[i] is component i's first block in the work buffer
// (its H x V blocks follow back to back), out the MCU's top-left pixel, row_step the
// distance between output rows in bytes (negative for bottom-up buffers).
using OutputKernel = void (*)(const int16_t* const* blocks, uint8_t* out, int32_t row_step);
// What a block of a sequential scan is decoded with: its component's tables and DC
// predictor (used as a 16-bit value).
struct HuffmanLookup;
struct BlockCoding {
  const HuffmanLookup* dc;
  const HuffmanLookup* ac;
  int32_t* dc_pred;
};
// Decodes `count` consecutive sequential blocks (T.81 F.2.2), block i with coding[i],
// into 64 coefficients each in natural order from `blocks` on. Returns 0 or the first
// negative status (the blocks after it are left as they are).
using DecodeBlockRoutine = int32_t (*)(JpegInputStream* stream, const BlockCoding* coding,
                                       int32_t count, int16_t* blocks);
// The encoder is not part of this system; its slots keep this type and stay empty.
using EncoderRoutine = void (*)();

}  // namespace jpeg

// The routine slots, in their fixed order: X(slot, name, type). This one list makes
// the table's fields, the slot names and the layout check below. Slots 12-15 (the
// inverse transforms), 34 (the MCU writer) and 62 (the dequantiser) are installed
// per read; the others once per JpegInit.
#define JPEG_ROUTINE_SLOTS(X)                    \
  X(0, EndSimd, EndSimdRoutine)                  \
  X(1, ForwardDctFast, EncoderRoutine)           \
  X(2, ForwardDctPrecise, EncoderRoutine)        \
  X(3, InverseDct8x8Fast, InverseDctRoutine)     \
  X(4, InverseDct4x4Fast, InverseDctRoutine)     \
  X(5, InverseDct2x2Fast, InverseDctRoutine)     \
  X(6, InverseDct1x1Fast, InverseDctRoutine)     \
  X(7, InverseDct8x8Precise, InverseDctRoutine)  \
  X(8, InverseDct4x4Precise, InverseDctRoutine)  \
  X(9, InverseDct2x2Precise, InverseDctRoutine)  \
  X(10, InverseDct1x1Precise, InverseDctRoutine) \
  X(11, ForwardDct, EncoderRoutine)              \
  X(12, InverseDct8x8, InverseDctRoutine)        \
  X(13, InverseDct4x4, InverseDctRoutine)        \
  X(14, InverseDct2x2, InverseDctRoutine)        \
  X(15, InverseDct1x1, InverseDctRoutine)        \
  X(16, EncoderOutputSetUp, EncoderRoutine)      \
  X(17, EncoderWriteBytes, EncoderRoutine)       \
  X(18, EncoderInstalled, EncoderRoutine)        \
  X(19, EncoderInput1, EncoderRoutine)           \
  X(20, EncoderInput2, EncoderRoutine)           \
  X(21, EncoderInput3, EncoderRoutine)           \
  X(22, EncoderInput4, EncoderRoutine)           \
  X(23, EncoderInput5, EncoderRoutine)           \
  X(24, EncoderInput6, EncoderRoutine)           \
  X(25, EncoderInput7, EncoderRoutine)           \
  X(26, EncoderInput8, EncoderRoutine)           \
  X(27, EncoderInput9, EncoderRoutine)           \
  X(28, EncoderInput10, EncoderRoutine)          \
  X(29, EncoderInput11, EncoderRoutine)          \
  X(30, EncoderInput12, EncoderRoutine)          \
  X(31, EncoderInput13, EncoderRoutine)          \
  X(32, EncoderInput14, EncoderRoutine)          \
  X(33, EncoderInput15, EncoderRoutine)          \
  X(34, WriteMcuOutput, WriteMcuRoutine)         \
  X(35, OutputGray, OutputKernel)                \
  X(36, OutputYccToRgb, OutputKernel)            \
  X(37, OutputYcc422ToRgb, OutputKernel)         \
  X(38, OutputYcc420ToRgb, OutputKernel)         \
  X(39, OutputYccToBgr, OutputKernel)            \
  X(40, OutputYcc422ToBgr, OutputKernel)         \
  X(41, OutputYcc420ToBgr, OutputKernel)         \
  X(42, OutputYccToRgba, OutputKernel)           \
  X(43, OutputYcc422ToRgba, OutputKernel)        \
  X(44, OutputYcc420ToRgba, OutputKernel)        \
  X(45, OutputInterleave3, OutputKernel)         \
  X(46, OutputReplicate2x1, OutputKernel)        \
  X(47, OutputReplicate2x2, OutputKernel)        \
  X(48, OutputInterleave3Alpha, OutputKernel)    \
  X(49, OutputPack422, OutputKernel)             \
  X(50, OutputYccaToRgba, OutputKernel)          \
  X(51, OutputYcca422ToRgba, OutputKernel)       \
  X(52, OutputYcca420ToRgba, OutputKernel)       \
  X(53, OutputInterleave4, OutputKernel)         \
  X(54, EncodeBlock, EncoderRoutine)             \
  X(55, DecodeBlock, DecodeBlockRoutine)         \
  X(56, DecodeBlockDcOnly, DecodeBlockRoutine)   \
  X(57, QuantizeFast, EncoderRoutine)            \
  X(58, QuantizePrecise, EncoderRoutine)         \
  X(59, Quantize, EncoderRoutine)                \
  X(60, DequantizeScaled, DequantizeRoutine)     \
  X(61, DequantizeMultiply, DequantizeRoutine)   \
  X(62, Dequantize, DequantizeRoutine)

// Global so that the public header's forward declaration names the same type.
struct RoutineTable {
  using EndSimdRoutine = jpeg::EndSimdRoutine;
  using EncoderRoutine = jpeg::EncoderRoutine;
  using InverseDctRoutine = jpeg::InverseDctRoutine;
  using WriteMcuRoutine = jpeg::WriteMcuRoutine;
  using OutputKernel = jpeg::OutputKernel;
  using DecodeBlockRoutine = jpeg::DecodeBlockRoutine;
  using DequantizeRoutine = jpeg::DequantizeRoutine;

  // Header.
  uint32_t scratch;  // the scan-header parser stores the last SOS length + 2 here
  uint32_t reserved;
  const jpeg::RegistryLibrary* registry_library;
  jpeg::RegOpenKeyFunction reg_open_key;
  jpeg::RegQueryValueFunction reg_query_value;
  jpeg::RegCloseKeyFunction reg_close_key;

  // The 63 routine slots.
#define JPEG_DECLARE_ROUTINE_SLOT(slot, name, type) type name;
  JPEG_ROUTINE_SLOTS(JPEG_DECLARE_ROUTINE_SLOT)
#undef JPEG_DECLARE_ROUTINE_SLOT

  // The name of the routine in each slot (none when empty), kept by InstallRoutine.
  const char* routine_names[63];
};

// The record's layout is public: the header, the slots from byte 40, one pointer
// each, then the names.
#define JPEG_CHECK_ROUTINE_SLOT(slot, name, type)              \
  static_assert(sizeof(RoutineTable::type) == sizeof(void*) && \
                offsetof(RoutineTable, name) == 40 + (slot) * sizeof(void*));
JPEG_ROUTINE_SLOTS(JPEG_CHECK_ROUTINE_SLOT)
#undef JPEG_CHECK_ROUTINE_SLOT
static_assert(offsetof(RoutineTable, routine_names) == 40 + 63 * sizeof(void*));
static_assert(sizeof(RoutineTable) == 40 + 2 * 63 * sizeof(void*));

namespace jpeg {

#define JPEG_COUNT_ROUTINE_SLOT(slot, name, type) +1
inline constexpr int kRoutineSlotCount = 0 JPEG_ROUTINE_SLOTS(JPEG_COUNT_ROUTINE_SLOT);
#undef JPEG_COUNT_ROUTINE_SLOT
static_assert(kRoutineSlotCount == 63);

// Process-wide memory helpers, the same for every class and never rewritten.
using CopyRoutine = void (*)(void* destination, const void* source, size_t length);
using ZeroRoutine = void (*)(void* buffer, size_t length);
extern const CopyRoutine CodecCopy;  // overlap-safe byte copy
extern const ZeroRoutine CodecZero;

// Fills the table for the processor class (ClassifyProcessor); always returns 1.
int32_t SetUpRoutineTable(RoutineTable* table);
// Unloads the registry stand-in and clears the header.
void ReleaseRoutineTable(RoutineTable* table);
// The class whose routines SetUpRoutineTable installs: the classified one, lowered to
// the best class this processor can execute (a forced class is never trusted blindly).
ProcessorClass InstalledClass(ProcessorClass classified, const ProcessorInfo& info);

// Each stage fills its own non-installed slots for a class. The table set-up calls
// them in this order; a stage that has not arrived yet leaves its slots empty.
void InstallHuffmanRoutines(RoutineTable& table, ProcessorClass processor_class);
void InstallDctRoutines(RoutineTable& table, ProcessorClass processor_class);
void InstallOutputRoutines(RoutineTable& table, ProcessorClass processor_class);

// Index of a slot of the table (0..62), from its address.
int RoutineSlotIndex(const RoutineTable& table, const void* slot);

// Puts a routine into a slot and records its name for the routine printer.
template <typename Routine>
void InstallRoutine(RoutineTable& table, Routine& slot, Routine routine, const char* name) {
  slot = routine;
  table.routine_names[RoutineSlotIndex(table, &slot)] = routine ? name : nullptr;
}

// The slots' names in table order ("EndSimd" ... "Dequantize").
extern const char* const kRoutineSlotNames[kRoutineSlotCount];
// True when slot i holds a routine.
bool RoutineSlotFilled(const RoutineTable& table, int i);

}  // namespace jpeg
