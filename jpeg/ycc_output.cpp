// Dedicated YCbCr converters. One template does all the arithmetic: it converts one
// 8x8 luma quadrant (or the part of it inside a rectangle) with the chroma of that
// quadrant, for a chroma subsampling of 1 or 2 in each direction and a pixel layout.
// A full MCU is the same template over every quadrant with the constant rectangle
// (0, 0, 8, 8), which the compiler unrolls; a partial MCU passes its clipped rectangle.
//
// Colour equations, with 16-bit correction terms and arithmetic shifts:
//   R = Y + ((359·Cr − 45813) >> 8), G = Y − ((88·Cb + 183·Cr − 34806) >> 8),
//   B = Y + ((454·Cb − 57937) >> 8), each clamped to 0..255.
#include "jpeg/ycc_output.h"

#include <algorithm>
#include <cstddef>

#include "jpeg/mcu_placement.h"
#include "jpeg/output_paths.h"
#include "jpeg/pixel_row.h"
#include "jpeg/ycc_terms.h"

namespace jpeg {
namespace {

inline uint8_t Clamp(int16_t value) {
  value = value < 0 ? int16_t{0} : value;
  return static_cast<uint8_t>(value > 255 ? int16_t{255} : value);
}

// Pixel layouts: bytes per pixel, whether a fourth component rides along, and the
// pixel's bytes packed into a word in memory order (first byte lowest), made of two
// 16-bit halves so that vector units build them in 16-bit lanes.
struct RgbPixel {
  static constexpr int kChannels = 3;
  static constexpr bool kFourComponents = false;
  static uint16_t Low(uint16_t r, uint16_t g, uint16_t, uint16_t) { return r | g << 8; }
  static uint16_t High(uint16_t, uint16_t, uint16_t b, uint16_t) { return b; }
};

struct BgrPixel {
  static constexpr int kChannels = 3;
  static constexpr bool kFourComponents = false;
  static uint16_t Low(uint16_t, uint16_t g, uint16_t b, uint16_t) { return b | g << 8; }
  static uint16_t High(uint16_t r, uint16_t, uint16_t, uint16_t) { return r; }
};

struct RgbaPixel {
  static constexpr int kChannels = 4;
  static constexpr bool kFourComponents = false;
  static uint16_t Low(uint16_t r, uint16_t g, uint16_t, uint16_t) { return r | g << 8; }
  static uint16_t High(uint16_t, uint16_t, uint16_t b, uint16_t) { return b | 0xFF00; }
};

// YCbCrA: the colour is stored inverted, the fourth sample as it is.
struct InvertedRgbaPixel {
  static constexpr int kChannels = 4;
  static constexpr bool kFourComponents = true;
  static uint16_t Low(uint16_t r, uint16_t g, uint16_t, uint16_t) {
    return (255 - r) | (255 - g) << 8;
  }
  static uint16_t High(uint16_t, uint16_t, uint16_t b, uint16_t fourth) {
    return (255 - b) | fourth << 8;
  }
};

// Stores pixels left..right of a row, byte by byte.
template <class Pixel>
void StorePixels(const uint32_t* words, uint8_t* out, int left, int right) {
  for (int column = left; column < right; ++column)
    for (int byte = 0; byte < Pixel::kChannels; ++byte)
      out[column * Pixel::kChannels + byte] = static_cast<uint8_t>(words[column] >> (8 * byte));
}

// The samples one 8x8 luma quadrant needs: its luma (and fourth-component) block, and
// the chroma blocks advanced to the cells that cover the quadrant.
struct QuadrantPlanes {
  const int16_t* luma;
  const int16_t* cb;
  const int16_t* cr;
  const int16_t* fourth;
};

// The quadrant's 64 pixels from its luma samples and one correction term per lane:
// lane j covers the 1 << kLaneShift pixels from pixel j << kLaneShift, so the luma index
// stays a straight function of the lane and the compiler vectorises over the whole
// block in one call. Kept out of line with restrict parameters: inlined into the
// unrolled quadrant loop, the compiler no longer vectorises it (and the rows run
// several times slower).
template <int kLaneShift, class Pixel>
[[gnu::noinline]] void ConvertBlock(const int16_t* __restrict luma, const int16_t* __restrict red,
                                    const int16_t* __restrict green, const int16_t* __restrict blue,
                                    const int16_t* __restrict fourth, uint32_t* __restrict words) {
  for (int lane = 0; lane < (64 >> kLaneShift); ++lane)
    for (int sub = 0; sub < (1 << kLaneShift); ++sub) {
      const int pixel = (lane << kLaneShift) + sub;
      const int16_t y = luma[pixel];
      uint16_t extra = 0;
      if constexpr (Pixel::kFourComponents) extra = static_cast<uint8_t>(fourth[pixel]);
      const uint16_t r = Clamp(static_cast<int16_t>(y + red[lane]));
      const uint16_t g = Clamp(static_cast<int16_t>(y - green[lane]));
      const uint16_t b = Clamp(static_cast<int16_t>(y + blue[lane]));
      words[pixel] = Pixel::Low(r, g, b, extra) | uint32_t{Pixel::High(r, g, b, extra)} << 16;
    }
}

// Converts rows top..bottom, columns left..right of one quadrant. kHShift and kVShift
// are log2 of the chroma subsampling: chroma cell (r, k) serves luma (r << kVShift ..,
// k << kHShift ..). The correction terms are computed once per chroma cell and
// repeated for the luma rows it serves, and for 4:2:0 across the two pixels too: the
// block then converts in straight lanes, which costs less than widening each term in the
// conversion (not so for 4:2:2, whose terms would be stored twice as often for it). The
// whole block is converted into words in one pass, then the rows are stored, whole or
// clipped to the rectangle.
template <int kHShift, int kVShift, class Pixel>
[[gnu::always_inline]] inline void ConvertQuadrant(const QuadrantPlanes& planes, uint8_t* out,
                                                   ptrdiff_t row_step, int left, int top, int right,
                                                   int bottom) {
  constexpr int kLaneShift = kVShift == 1 ? 0 : kHShift;  // lane j: pixels j << kLaneShift ..
  constexpr int kLaneColumns = 8 >> kLaneShift;
  int16_t red[8 * kLaneColumns], green[8 * kLaneColumns], blue[8 * kLaneColumns];
  for (int chroma_row = 0; chroma_row < (8 >> kVShift); ++chroma_row) {
    const int16_t* cb = planes.cb + 8 * chroma_row;
    const int16_t* cr = planes.cr + 8 * chroma_row;
    for (int k = 0; k < (8 >> kHShift); ++k) {
      const int16_t r = RedTerm(cr[k]), g = GreenTerm(cb[k], cr[k]), b = BlueTerm(cb[k]);
      for (int sub_row = 0; sub_row < (1 << kVShift); ++sub_row)
        for (int sub = 0; sub < (1 << (kHShift - kLaneShift)); ++sub) {
          const int lane = ((chroma_row << kVShift) + sub_row) * kLaneColumns +
                           ((k << kHShift) >> kLaneShift) + sub;
          red[lane] = r;
          green[lane] = g;
          blue[lane] = b;
        }
    }
  }
  uint32_t words[64];
  ConvertBlock<kLaneShift, Pixel>(planes.luma, red, green, blue, planes.fourth, words);
  const bool whole_rows = left == 0 && right == 8;
  for (int row = top; row < bottom; ++row) {
    uint8_t* pixels = out + row * row_step;
    if (whole_rows)
      StorePixelRow<Pixel::kChannels>(words + 8 * row, pixels);
    else
      StorePixels<Pixel>(words + 8 * row, pixels, left, right);
  }
}

// blocks: luma blocks in raster order, then Cb, Cr, then the fourth component's blocks.
template <int kHShift, int kVShift, class Pixel>
QuadrantPlanes PlanesOf(const int16_t* const* blocks, int quadrant_x, int quadrant_y) {
  const int block = quadrant_y * (1 << kHShift) + quadrant_x;
  const int chroma = 8 * ((8 * quadrant_y) >> kVShift) + ((8 * quadrant_x) >> kHShift);
  return {blocks[0] + 64 * block, blocks[1] + chroma, blocks[2] + chroma,
          Pixel::kFourComponents ? blocks[3] + 64 * block : nullptr};
}

template <int kHShift, int kVShift, class Pixel>
uint8_t* QuadrantOutput(uint8_t* out, ptrdiff_t row_step, int quadrant_x, int quadrant_y) {
  return out + 8 * quadrant_x * Pixel::kChannels + 8 * quadrant_y * row_step;
}

// The full-MCU kernel (the routine-table form).
template <int kHShift, int kVShift, class Pixel>
void ConvertFullMcu(const int16_t* const* blocks, uint8_t* out, int32_t row_step) {
  for (int qy = 0; qy < (1 << kVShift); ++qy)
    for (int qx = 0; qx < (1 << kHShift); ++qx)
      ConvertQuadrant<kHShift, kVShift, Pixel>(
          PlanesOf<kHShift, kVShift, Pixel>(blocks, qx, qy),
          QuadrantOutput<kHShift, kVShift, Pixel>(out, row_step, qx, qy), row_step, 0, 0, 8, 8);
}

// The plain clipped kernel: each quadrant's intersection with the visible rectangle,
// in the quadrant's own coordinates.
template <int kHShift, int kVShift, class Pixel>
void ConvertClippedMcu(const int16_t* const* blocks, uint8_t* out, int32_t row_step,
                       const McuRect& visible) {
  for (int qy = 0; qy < (1 << kVShift); ++qy)
    for (int qx = 0; qx < (1 << kHShift); ++qx) {
      const int left = std::max(visible.left - 8 * qx, 0);
      const int right = std::min(visible.right - 8 * qx, 8);
      const int top = std::max(visible.top - 8 * qy, 0);
      const int bottom = std::min(visible.bottom - 8 * qy, 8);
      if (left >= right || top >= bottom) continue;
      ConvertQuadrant<kHShift, kVShift, Pixel>(
          PlanesOf<kHShift, kVShift, Pixel>(blocks, qx, qy),
          QuadrantOutput<kHShift, kVShift, Pixel>(out, row_step, qx, qy), row_step, left, top,
          right, bottom);
    }
}

// The per-MCU converter: the visible part of the MCU (whole MCUs take the kernel in
// the sink).
template <int kHShift, int kVShift, class Pixel>
int32_t WriteYccMcu(JPEG_PROPERTIES* properties, const McuTarget& target) {
  JpegState& state = properties->state;
  constexpr int kLumaBlocks = 1 << (kHShift + kVShift);
  const int16_t* work = state.mcu_work_buffer;
  const int16_t* const blocks[4] = {work, work + 64 * kLumaBlocks, work + 64 * (kLumaBlocks + 1),
                                    work + 64 * (kLumaBlocks + 2)};
  ConvertClippedMcu<kHShift, kVShift, Pixel>(blocks, target.placement.out, state.row_stride,
                                             target.placement.visible);
  return JPEG_SUCCESS;
}

struct DedicatedPath {
  OutputPath row;
  OutputKernel kernel;
  const char* kernel_name;
};

template <int kHShift, int kVShift, class Pixel, OutputKernel RoutineTable::*kSlot>
constexpr DedicatedPath Path(int32_t output_path, const char* kernel_name) {
  return {{output_path, &WriteYccMcu<kHShift, kVShift, Pixel>, "WriteYccMcu",
           Pixel::kFourComponents ? 4 : 3, 1 << kHShift, 1 << kVShift, kSlot},
          &ConvertFullMcu<kHShift, kVShift, Pixel>,
          kernel_name};
}

using T = RoutineTable;
constexpr DedicatedPath kDedicatedPaths[] = {
    Path<0, 0, RgbPixel, &T::OutputYccToRgb>(1, "YccToRgbPlain"),
    Path<0, 0, BgrPixel, &T::OutputYccToBgr>(2, "YccToBgrPlain"),
    Path<1, 1, RgbPixel, &T::OutputYcc420ToRgb>(3, "Ycc420ToRgbPlain"),
    Path<1, 1, BgrPixel, &T::OutputYcc420ToBgr>(4, "Ycc420ToBgrPlain"),
    Path<1, 0, RgbPixel, &T::OutputYcc422ToRgb>(5, "Ycc422ToRgbPlain"),
    Path<1, 0, BgrPixel, &T::OutputYcc422ToBgr>(6, "Ycc422ToBgrPlain"),
    Path<0, 0, RgbaPixel, &T::OutputYccToRgba>(7, "YccToRgbaPlain"),
    Path<1, 1, RgbaPixel, &T::OutputYcc420ToRgba>(8, "Ycc420ToRgbaPlain"),
    Path<1, 0, RgbaPixel, &T::OutputYcc422ToRgba>(9, "Ycc422ToRgbaPlain"),
    Path<0, 0, InvertedRgbaPixel, &T::OutputYccaToRgba>(10, "YccaToRgbaPlain"),
    Path<1, 1, InvertedRgbaPixel, &T::OutputYcca420ToRgba>(11, "Ycca420ToRgbaPlain"),
    Path<1, 0, InvertedRgbaPixel, &T::OutputYcca422ToRgba>(12, "Ycca422ToRgbaPlain"),
};

}  // namespace

void InstallPlainYccKernels(RoutineTable& table) {
  for (const DedicatedPath& path : kDedicatedPaths)
    InstallRoutine(table, table.*path.row.kernel, path.kernel, path.kernel_name);
}

WriteMcuRoutine YccMcuWriter(int32_t output_path) {
  for (const DedicatedPath& path : kDedicatedPaths)
    if (path.row.number == output_path) return path.row.writer;
  return nullptr;
}

OutputPath YccOutputPath(int32_t index) {
  return kDedicatedPaths[index].row;
}

}  // namespace jpeg
