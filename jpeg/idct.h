// Inverse DCTs of one 8x8 coefficient block, in place, at full and reduced output sizes.
//
// Each transform reads a dequantised block of 64 coefficients in natural order and leaves
// samples 0..255 in the same cells: all 64 for the 8x8 transforms, the top-left NxN corner
// (row stride 8) for the reduced ones, whose other cells are left undefined. The precise
// family uses 32-bit intermediates with Q15/Q13 rotation constants; the fast family is the
// Arai-Agui-Nakajima factorisation over tables prescaled by PrepareQuantTableFast.
#pragma once

#include <cstdint>

struct RoutineTable;

namespace jpeg {

void InverseDct8x8Precise(int16_t* block);
void InverseDct4x4Precise(int16_t* block);
void InverseDct2x2Precise(int16_t* block);
void InverseDct1x1Precise(int16_t* block);
// DequantizeMultiply and the precise transform of each size in one pass; the reduced ones
// dequantise only the coefficients their size reads.
void DequantizeInverseDct8x8Precise(int16_t* block, const int16_t* table);
void DequantizeInverseDct4x4Precise(int16_t* block, const int16_t* table);
void DequantizeInverseDct2x2Precise(int16_t* block, const int16_t* table);
void DequantizeInverseDct1x1Precise(int16_t* block, const int16_t* table);
// The one sample of DequantizeInverseDct1x1Precise, from the quantised DC and its quantiser.
inline int16_t Precise1x1Sample(int16_t dc, int16_t quant) {
  const int32_t sample = ((static_cast<int16_t>(dc * quant) + 4) >> 3) + 128;
  return static_cast<int16_t>(sample < 0 ? 0 : sample > 255 ? 255 : sample);
}

void InverseDct8x8Fast(int16_t* block);
void InverseDct4x4Fast(int16_t* block);
void InverseDct2x2Fast(int16_t* block);
void InverseDct1x1Fast(int16_t* block);
// DequantizeScaled and InverseDct1x1Fast in one pass: the DC coefficient alone.
void DequantizeInverseDct1x1Fast(int16_t* block, const int16_t* table);

// Output edge (8, 4, 2 or 1 samples) of the transform a block gets at scale denominator
// `scale` (1, 2, 4 or 8). With square sampling (every component 1x1 or 2x2) a component
// sampled 1x1 gets the next larger transform at reduced scales, so that its samples
// already cover the reduced MCU.
int TransformSize(int scale, bool square_sampling, int h_times_v);

// Installs the Dequantize and InverseDct8x8..1x1 slots for a read: the precise family
// for DCT_METHOD_PRECISE (1), the fast family for any other value.
void SelectDctRoutines(RoutineTable& table, int32_t dct_method);

// The kernel that dequantises with the installed Dequantize and applies `transform` in one
// pass, or none when that pair has no such kernel.
using DequantizeTransformRoutine = void (*)(int16_t* block, const int16_t* table);
DequantizeTransformRoutine FusedDequantizeTransform(const RoutineTable& table,
                                                    void (*transform)(int16_t* block));

}  // namespace jpeg
