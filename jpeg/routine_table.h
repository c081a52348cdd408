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
// Decodes one sequential block (T.81 F.2.2) into 64 coefficients in natural order;
// dc_pred is the component's DC predictor, used as a 16-bit value. Returns 0 or a
// negative status.
using DecodeBlockRoutine = int32_t (*)(JpegInputStream* stream, const JpegHuffmanDecodeTable* dc,
                                       const JpegHuffmanDecodeTable* ac, int32_t* dc_pred,
                                       int16_t* block);
// The encoder is not part of this system; its slots keep this type and stay empty.
using EncoderRoutine = void (*)();

}  // namespace jpeg

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

  // The 63 routine slots, in their fixed order.
  EndSimdRoutine EndSimd;                  // 0
  EncoderRoutine ForwardDctFast;           // 1
  EncoderRoutine ForwardDctPrecise;        // 2
  InverseDctRoutine InverseDct8x8Fast;     // 3
  InverseDctRoutine InverseDct4x4Fast;     // 4
  InverseDctRoutine InverseDct2x2Fast;     // 5
  InverseDctRoutine InverseDct1x1Fast;     // 6
  InverseDctRoutine InverseDct8x8Precise;  // 7
  InverseDctRoutine InverseDct4x4Precise;  // 8
  InverseDctRoutine InverseDct2x2Precise;  // 9
  InverseDctRoutine InverseDct1x1Precise;  // 10
  EncoderRoutine ForwardDct;               // 11
  InverseDctRoutine InverseDct8x8;         // 12 installed per read
  InverseDctRoutine InverseDct4x4;         // 13 installed per read
  InverseDctRoutine InverseDct2x2;         // 14 installed per read
  InverseDctRoutine InverseDct1x1;         // 15 installed per read
  EncoderRoutine EncoderOutputSetUp;       // 16
  EncoderRoutine EncoderWriteBytes;        // 17
  EncoderRoutine EncoderInstalled;         // 18
  EncoderRoutine EncoderInput1;            // 19
  EncoderRoutine EncoderInput2;            // 20
  EncoderRoutine EncoderInput3;            // 21
  EncoderRoutine EncoderInput4;            // 22
  EncoderRoutine EncoderInput5;            // 23
  EncoderRoutine EncoderInput6;            // 24
  EncoderRoutine EncoderInput7;            // 25
  EncoderRoutine EncoderInput8;            // 26
  EncoderRoutine EncoderInput9;            // 27
  EncoderRoutine EncoderInput10;           // 28
  EncoderRoutine EncoderInput11;           // 29
  EncoderRoutine EncoderInput12;           // 30
  EncoderRoutine EncoderInput13;           // 31
  EncoderRoutine EncoderInput14;           // 32
  EncoderRoutine EncoderInput15;           // 33
  WriteMcuRoutine WriteMcuOutput;          // 34 installed per read
  OutputKernel OutputGray;                 // 35
  OutputKernel OutputYccToRgb;             // 36
  OutputKernel OutputYcc422ToRgb;          // 37
  OutputKernel OutputYcc420ToRgb;          // 38
  OutputKernel OutputYccToBgr;             // 39
  OutputKernel OutputYcc422ToBgr;          // 40
  OutputKernel OutputYcc420ToBgr;          // 41
  OutputKernel OutputYccToRgba;            // 42
  OutputKernel OutputYcc422ToRgba;         // 43
  OutputKernel OutputYcc420ToRgba;         // 44
  OutputKernel OutputInterleave3;          // 45
  OutputKernel OutputReplicate2x1;         // 46
  OutputKernel OutputReplicate2x2;         // 47
  OutputKernel OutputInterleave3Alpha;     // 48
  OutputKernel OutputPack422;              // 49
  OutputKernel OutputYccaToRgba;           // 50
  OutputKernel OutputYcca422ToRgba;        // 51
  OutputKernel OutputYcca420ToRgba;        // 52
  OutputKernel OutputInterleave4;          // 53
  EncoderRoutine EncodeBlock;              // 54
  DecodeBlockRoutine DecodeBlock;          // 55
  DecodeBlockRoutine DecodeBlockDcOnly;    // 56
  EncoderRoutine QuantizeFast;             // 57
  EncoderRoutine QuantizePrecise;          // 58
  EncoderRoutine Quantize;                 // 59
  DequantizeRoutine DequantizeScaled;      // 60
  DequantizeRoutine DequantizeMultiply;    // 61
  DequantizeRoutine Dequantize;            // 62 installed per read

  // The name of the routine in each slot (none when empty), kept by InstallRoutine.
  const char* routine_names[63];
};

namespace jpeg {

inline constexpr int kRoutineSlotCount = 63;

// Process-wide memory helpers, installed by every SetUpRoutineTable.
using CopyRoutine = void (*)(void* destination, const void* source, size_t length);
using ZeroRoutine = void (*)(void* buffer, size_t length);
extern CopyRoutine CodecCopy;  // overlap-safe byte copy
extern ZeroRoutine CodecZero;

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
