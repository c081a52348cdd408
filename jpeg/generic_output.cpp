// Generic output. A block of a non-interleaved image is written through the geometry
// of the interleaved MCU that holds it: the MCU is placed as usual and the block
// covers the pixels whose samples (floor(x * H / Hmax)) fall into it, so the two
// layouts give the same pixels for every sampling, integer ratio or not.
//
// The YCbCr writer for two-channel buffers packs like the 4:2:2 packing: Y into
// channel 0 of every pixel, Cb into channel 1 of even pixels and Cr into channel 1
// of odd ones, each chroma byte the rounded mean (a + b + 1) >> 1 of the chroma
// samples of the pixel pair. For the Y 2x1 frames that YCbCr output accepts both
// pixels take the same sample, so the bytes equal those of the packing path.
//
// Reduced reads of 4:4:4, 4:2:2 and 4:2:0 YCbCr into RGB or BGR take a one-pass writer:
// expansion and conversion fused, the same bytes. Their MCUs shown whole, and those of gray
// images, go to a whole-MCU writer of the layout that the sink picks once per scan.
#include "jpeg/generic_output.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "jpeg/component_expansion.h"
#include "jpeg/idct.h"
#include "jpeg/pixel_row.h"
#include "jpeg/routine_table.h"
#include "jpeg/simd/simd_routines.h"
#include "jpeg/ycc_terms.h"

namespace jpeg {
namespace {

int32_t CeilDiv(int32_t a, int32_t b) {
  return (a + b - 1) / b;
}

// Where one block of a non-interleaved image lands.
struct BlockSpan {
  McuPlacement placement;
  McuRect rect;      // visible pixels of the block, in MCU coordinates
  int32_t from, to;  // the block's pixel columns in the MCU, visible or not
  SamplePlane plane;
  int32_t h_max, v_max;
};

BlockSpan SpanOf(const JpegState& state, const McuTarget& target) {
  BlockSpan span;
  const ReadGeometry& g = *target.geometry;
  const ComponentGeometry& c = g.components[target.component];
  const int32_t h = c.sample_h, v = c.sample_v, size = c.block_size;
  const int32_t h_max = g.h_max, v_max = g.v_max;
  span.h_max = h_max;
  span.v_max = v_max;
  span.placement = target.placement;
  const int32_t k = target.block_column % c.h, j = target.block_row % c.v;
  span.from = CeilDiv(size * k * h_max, h);
  span.to = CeilDiv(size * (k + 1) * h_max, h);
  const McuRect& visible = span.placement.visible;
  span.rect = {std::max(visible.left, span.from),
               std::max(visible.top, CeilDiv(size * j * v_max, v)),
               std::min(visible.right, span.to),
               std::min(visible.bottom, CeilDiv(size * (j + 1) * v_max, v))};
  span.plane = {state.mcu_work_buffer, 1, size, h, v, size * k, size * j};
  return span;
}

// Cb (parity 0) into channel 1 of the even pixels of the block, Cr (parity 1) into
// the odd ones; a pair whose other pixel lies in the next block uses its own sample.
void PackChroma(const BlockSpan& span, int32_t parity, int32_t row_step) {
  const SamplePlane& plane = span.plane;
  const int32_t h_max = span.h_max, v_max = span.v_max;
  auto sample_at = [&](const int16_t* row, int32_t x) {
    return int32_t{row[x * plane.h / h_max - plane.first_column]};
  };
  for (int32_t y = span.rect.top; y < span.rect.bottom; ++y) {
    const int16_t* row = plane.blocks + (y * plane.v / v_max - plane.first_row) * 8;
    uint8_t* out = span.placement.out + static_cast<ptrdiff_t>(y) * row_step;
    for (int32_t x = span.rect.left; x < span.rect.right; ++x) {
      if ((x & 1) != parity) continue;
      const int32_t even = x & ~1, odd = even + 1;
      const int32_t a = sample_at(row, even >= span.from ? even : x);
      const int32_t b = sample_at(row, odd < span.to ? odd : x);
      out[2 * x + 1] = static_cast<uint8_t>((a + b + 1) >> 1);
    }
  }
}

inline uint8_t ClampSum(int16_t luma, int16_t term) {
  const auto value = static_cast<int16_t>(luma + term);
  return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// The in-place conversion of one pixel (channels B, G, R for BGR buffers, else R, G, B),
// from samples 0..255.
struct RgbPixel {
  uint8_t r, g, b;
};
inline RgbPixel YccToRgb(int16_t luma, int16_t cb, int16_t cr) {
  return {ClampSum(luma, RedTerm(cr)), ClampSum(luma, InPlaceGreenTerm(cb, cr)),
          ClampSum(luma, BlueTerm(cb))};
}

// The common reduced reads: YCbCr into three-channel RGB or BGR from a luma with one
// sample per pixel and chroma with one per pixel (4:4:4, and 4:2:0 whose 1x1 components the
// reduced read gives the larger transform) or one per two pixels across (4:2:2). Each
// pixel gathers its three samples and is converted at once, instead of one expansion pass
// per component and a conversion pass over the MCU's pixels; the bytes are the same.
// Returns the chroma's horizontal shift (0 or 1), or -1 for any other read.
int32_t OnePassChromaShift(const JpegState& state, const ReadGeometry& g) {
  if (g.component_count != 3 || state.dib_channels != 3 || state.color_convert_flag != 1 ||
      state.jpeg_color != COLOR_YCBCR ||
      (state.dib_color != COLOR_RGB && state.dib_color != COLOR_BGR))
    return -1;
  const ComponentGeometry *c = g.components, &luma = c[0];
  if (luma.sample_h != g.h_max || luma.sample_v != g.v_max) return -1;
  for (int32_t i = 1; i < 3; ++i)
    if (c[i].sample_v != g.v_max || c[i].sample_h != c[1].sample_h) return -1;
  return c[1].sample_h == g.h_max ? 0 : 2 * c[1].sample_h == g.h_max ? 1 : -1;
}

// Sample rows of a plane whose rows have one sample per pixel row. Block sizes are powers
// of two, so shifts and masks replace the divisions of the general expansion, and within
// a run of pixels that stays inside one block of every plane the samples lie side by side.
struct PixelSamples {
  const int16_t* blocks;
  int32_t shift, mask, block_row_cells;

  explicit PixelSamples(const SamplePlane& plane)
      : blocks(plane.blocks),
        shift(std::countr_zero(static_cast<uint32_t>(plane.block_size))),
        mask(plane.block_size - 1),
        block_row_cells(64 * plane.blocks_across) {}
  const int16_t* Row(int32_t y) const {
    return blocks + (y >> shift) * block_row_cells + (y & mask) * 8;
  }
  const int16_t* At(const int16_t* row, int32_t sample) const {
    return row + (sample >> shift) * 64 + (sample & mask);
  }
};

// The most visible pixels of an MCU: 8 * 4 across and down at full size.
constexpr int32_t kMaxMcuPixels = 32 * 32;

// The visible pixels' samples, gathered row after row into lanes, and converted as a batch.
struct McuLanes {
  int16_t luma[kMaxMcuPixels], cb[kMaxMcuPixels], cr[kMaxMcuPixels];
  uint32_t words[kMaxMcuPixels];  // each pixel's bytes in memory order, first byte lowest
};

// Copies a run of samples; runs of a whole block row (1, 2, 4 or 8 cells) take fixed moves.
inline void CopyRun(const int16_t* from, int32_t count, int16_t* to) {
  switch (count) {
    case 8:
      std::memcpy(to, from, 8 * sizeof(int16_t));
      break;
    case 4:
      std::memcpy(to, from, 4 * sizeof(int16_t));
      break;
    case 2:
      std::memcpy(to, from, 2 * sizeof(int16_t));
      break;
    case 1:
      *to = *from;
      break;
    default:
      for (int32_t k = 0; k < count; ++k) to[k] = from[k];
  }
}

// Pixels first .. first + count - 1 of a run into the lanes from `lane` on; chroma sample k
// serves pixels k << kShift on.
template <int kShift>
void GatherRun(const int16_t* luma, const int16_t* cb, const int16_t* cr, int32_t first,
               int32_t count, McuLanes& lanes, int32_t lane) {
  CopyRun(luma, count, lanes.luma + lane);
  if constexpr (kShift == 0) {
    CopyRun(cb, count, lanes.cb + lane);
    CopyRun(cr, count, lanes.cr + lane);
  } else {
    for (int32_t k = 0; k < count; ++k) {
      const int32_t c = ((first + k) >> kShift) - (first >> kShift);
      lanes.cb[lane + k] = cb[c];
      lanes.cr[lane + k] = cr[c];
    }
  }
}

// One pixel's word from its samples by the in-place equations: R, G, B, or B, G, R, in memory
// order, first byte lowest. Samples are taken as bytes, as the expansion stores them.
template <bool kBgr>
inline uint32_t PixelWord(int16_t luma, int16_t cb, int16_t cr) {
  const RgbPixel rgb = YccToRgb(luma & 0xFF, cb & 0xFF, cr & 0xFF);
  const uint32_t first = kBgr ? rgb.b : rgb.r, third = kBgr ? rgb.r : rgb.b;
  return first | uint32_t{rgb.g} << 8 | third << 16;
}

// PixelWord over lanes 0 .. count - 1. Kept out of line with restrict parameters, so that the
// compiler vectorises it in 16-bit lanes.
template <bool kBgr>
[[gnu::noinline]] void ConvertLanes(const int16_t* __restrict luma, const int16_t* __restrict cb,
                                    const int16_t* __restrict cr, int32_t count,
                                    uint32_t* __restrict words) {
  for (int32_t i = 0; i < count; ++i) words[i] = PixelWord<kBgr>(luma[i], cb[i], cr[i]);
}

// Stores a row of three-byte pixels from their words: rows of 8 as packed words, others a
// word per pixel, each overwriting the spare byte of the one before, and the last pixel's
// three bytes alone, so nothing right of the row is touched.
void StoreRow(const uint32_t* words, int32_t width, uint8_t* out) {
  if (width == 8) return StorePixelRow<3>(words, out);
  for (int32_t x = 0; x + 1 < width; ++x) std::memcpy(out + 3 * x, &words[x], 4);
  const uint32_t last = words[width - 1];
  uint8_t* p = out + 3 * (width - 1);
  p[0] = static_cast<uint8_t>(last);
  p[1] = static_cast<uint8_t>(last >> 8);
  p[2] = static_cast<uint8_t>(last >> 16);
}

// ConvertLanes in the buffer's channel order.
void ConvertLanesInOrder(const JpegState& state, const int16_t* luma, const int16_t* cb,
                         const int16_t* cr, int32_t count, uint32_t* words) {
  if (state.dib_color == COLOR_BGR)
    ConvertLanes<true>(luma, cb, cr, count, words);
  else
    ConvertLanes<false>(luma, cb, cr, count, words);
}

// A whole reduced MCU of a square image with chroma at one sample per pixel (4:4:4, 4:2:0):
// kEdge x kEdge pixels, luma in kLuma x kLuma blocks of kEdge / kLuma samples, chroma in one
// block each. The sizes are constants, so the gather is moves of constant size; an MCU 8
// pixels wide takes the chroma blocks as its lanes as they are, and one of four pixels or
// fewer converts inline. Blocks of one sample take their quantised DC when tables are given.
template <int kEdge, int kLuma, bool kBgr>
void WriteWholeSquareMcu(const int16_t* blocks, const int16_t* const* quant, uint8_t* out,
                         int32_t row_step) {
  constexpr int kSize = kEdge / kLuma, kLanes = kEdge * kEdge;
  const int16_t *cb_block = blocks + 64 * kLuma * kLuma, *cr_block = cb_block + 64;
  alignas(16) int16_t luma[kLanes], cb[kLanes], cr[kLanes];
  alignas(16) uint32_t words[kLanes];
  if (kSize == 1 && quant != nullptr) {
    alignas(16) int16_t dc[kLanes];  // gathered first, so the samples are formed in lanes
    for (int i = 0; i < kLanes; ++i) dc[i] = blocks[64 * i];
    for (int i = 0; i < kLanes; ++i) luma[i] = Precise1x1Sample(dc[i], quant[0][0]);
  } else {
    for (int y = 0; y < kEdge; ++y)
      for (int b = 0; b < kLuma; ++b)
        std::memcpy(luma + y * kEdge + b * kSize,
                    blocks + (y / kSize * kLuma + b) * 64 + y % kSize * 8, kSize * sizeof(int16_t));
  }
  if (kEdge == 1 && quant != nullptr) {
    cb[0] = Precise1x1Sample(cb_block[0], quant[1][0]);
    cr[0] = Precise1x1Sample(cr_block[0], quant[2][0]);
  } else if (kEdge < 8) {
    for (int y = 0; y < kEdge; ++y) {
      std::memcpy(cb + y * kEdge, cb_block + y * 8, kEdge * sizeof(int16_t));
      std::memcpy(cr + y * kEdge, cr_block + y * 8, kEdge * sizeof(int16_t));
    }
  }
  if constexpr (kLanes <= 4) {
    for (int i = 0; i < kLanes; ++i) words[i] = PixelWord<kBgr>(luma[i], cb[i], cr[i]);
  } else {
    const bool lanes_as_blocks = kEdge == 8;
    ConvertLanes<kBgr>(luma, lanes_as_blocks ? cb_block : cb, lanes_as_blocks ? cr_block : cr,
                       kLanes, words);
  }
  for (int y = 0; y < kEdge; ++y, out += row_step) StoreRow(words + kEdge * y, kEdge, out);
}

// The whole-MCU writers in AVX2 run where the class runs the reduced transforms in AVX2, as
// its colour kernels run.
bool RunsAvx2(const RoutineTable& table) {
  return table.InverseDct2x2Precise == &InverseDct2x2PreciseAvx2;
}

// A whole reduced MCU of a 4:2:2 image: 2 * kSize x kSize pixels, luma in two blocks side by
// side, each chroma sample serving two pixels across. Blocks of one sample take their quantised
// DC when tables are given.
template <int kSize, bool kBgr>
void WriteWhole422Mcu(const int16_t* blocks, const int16_t* const* quant, uint8_t* out,
                      int32_t row_step) {
  constexpr int kWidth = 2 * kSize, kLanes = kWidth * kSize;
  const int16_t *cb_block = blocks + 128, *cr_block = cb_block + 64;
  alignas(16) int16_t luma[kLanes], cb[kLanes], cr[kLanes];
  alignas(16) uint32_t words[kLanes];
  if (kSize == 1 && quant != nullptr) {
    luma[0] = Precise1x1Sample(blocks[0], quant[0][0]);
    luma[1] = Precise1x1Sample(blocks[64], quant[0][0]);
    cb[0] = cb[1] = Precise1x1Sample(cb_block[0], quant[1][0]);
    cr[0] = cr[1] = Precise1x1Sample(cr_block[0], quant[2][0]);
  } else {
    for (int y = 0; y < kSize; ++y) {
      std::memcpy(luma + y * kWidth, blocks + y * 8, kSize * sizeof(int16_t));
      std::memcpy(luma + y * kWidth + kSize, blocks + 64 + y * 8, kSize * sizeof(int16_t));
      for (int x = 0; x < kWidth; ++x) {
        cb[y * kWidth + x] = cb_block[y * 8 + x / 2];
        cr[y * kWidth + x] = cr_block[y * 8 + x / 2];
      }
    }
  }
  if constexpr (kLanes <= 4) {
    for (int i = 0; i < kLanes; ++i) words[i] = PixelWord<kBgr>(luma[i], cb[i], cr[i]);
  } else {
    ConvertLanes<kBgr>(luma, cb, cr, kLanes, words);
  }
  for (int y = 0; y < kSize; ++y, out += row_step) StoreRow(words + kWidth * y, kWidth, out);
}

template <bool kBgr>
WholeReducedMcuWriter Whole422McuWriter(int32_t size) {
  switch (size) {
    case 4:
      return &WriteWhole422Mcu<4, kBgr>;
    case 2:
      return &WriteWhole422Mcu<2, kBgr>;
    case 1:
      return &WriteWhole422Mcu<1, kBgr>;
    default:
      return nullptr;
  }
}

// The 4:2:2 layout: luma 2x1, chroma 1x1, every block of the MCU's height.
WholeReducedMcuWriter Whole422McuWriterOf(const JpegState& state, const ReadGeometry& g) {
  const ComponentGeometry* c = g.components;
  const int32_t size = g.mcu_height;
  if (c[0].h != 2 || c[0].v != 1 || c[0].block_size != size || g.mcu_width != 2 * size)
    return nullptr;
  for (int32_t i = 1; i < 3; ++i)
    if (c[i].h != 1 || c[i].v != 1 || c[i].block_size != size) return nullptr;
  const bool bgr = state.dib_color == COLOR_BGR;
  if (size == 4 && RunsAvx2(*state.routine_table))
    return bgr ? &WriteReduced422HalfToBgrAvx2 : &WriteReduced422HalfToRgbAvx2;
  return bgr ? Whole422McuWriter<true>(size) : Whole422McuWriter<false>(size);
}

// A whole reduced MCU of a gray image, kEdge x kEdge pixels from its one block, into buffers of
// kChannels: the sample in channels 0-2 and 255 beyond, as the expansion and FillExtraChannels
// write it.
template <int kEdge, int kChannels>
void WriteWholeGrayMcu(const int16_t* block, const int16_t* const* quant, uint8_t* out,
                       int32_t row_step) {
  for (int y = 0; y < kEdge; ++y, out += row_step)
    for (int x = 0; x < kEdge; ++x) {
      const int16_t sample = kEdge == 1 && quant != nullptr
                                 ? Precise1x1Sample(block[0], quant[0][0])
                                 : block[8 * y + x];
      for (int c = 0; c < kChannels; ++c)
        out[kChannels * x + c] = c < 3 ? static_cast<uint8_t>(sample) : uint8_t{255};
    }
}

template <int kChannels>
WholeReducedMcuWriter WholeGrayMcuWriter(int32_t edge) {
  switch (edge) {
    case 4:
      return &WriteWholeGrayMcu<4, kChannels>;
    case 2:
      return &WriteWholeGrayMcu<2, kChannels>;
    case 1:
      return &WriteWholeGrayMcu<1, kChannels>;
    default:
      return nullptr;
  }
}

WholeReducedMcuWriter WholeGrayMcuWriterOf(const JpegState& state, const ReadGeometry& g) {
  if (state.jpeg_color != COLOR_GRAY || g.components[0].block_size != g.mcu_width) return nullptr;
  switch (state.dib_channels) {
    case 1:
      return WholeGrayMcuWriter<1>(g.mcu_width);
    case 3:
      return WholeGrayMcuWriter<3>(g.mcu_width);
    case 4:
      return WholeGrayMcuWriter<4>(g.mcu_width);
    default:
      return nullptr;
  }
}

// The AVX2 writers of the square layouts that have one.
WholeReducedMcuWriter WholeSquareMcuWriterAvx2(const RoutineTable& table, bool bgr, int32_t edge,
                                               int32_t luma) {
  if (!RunsAvx2(table)) return nullptr;
  switch (edge << 4 | luma) {
    case 8 << 4 | 2:
      return bgr ? &WriteReduced420HalfToBgrAvx2 : &WriteReduced420HalfToRgbAvx2;
    case 4 << 4 | 2:
      return bgr ? &WriteReduced420QuarterToBgrAvx2 : &WriteReduced420QuarterToRgbAvx2;
    case 4 << 4 | 1:
      return bgr ? &WriteReduced444HalfToBgrAvx2 : &WriteReduced444HalfToRgbAvx2;
    default:
      return nullptr;
  }
}

template <bool kBgr>
WholeReducedMcuWriter WholeSquareMcuWriter(int32_t edge, int32_t luma) {
  switch (edge << 4 | luma) {
    case 8 << 4 | 2:
      return &WriteWholeSquareMcu<8, 2, kBgr>;
    case 4 << 4 | 2:
      return &WriteWholeSquareMcu<4, 2, kBgr>;
    case 2 << 4 | 2:
      return &WriteWholeSquareMcu<2, 2, kBgr>;
    case 4 << 4 | 1:
      return &WriteWholeSquareMcu<4, 1, kBgr>;
    case 2 << 4 | 1:
      return &WriteWholeSquareMcu<2, 1, kBgr>;
    case 1 << 4 | 1:
      return &WriteWholeSquareMcu<1, 1, kBgr>;
    default:
      return nullptr;
  }
}

template <int kShift>
Status WriteYccMcu(const JpegState& state, const McuTarget& target) {
  const McuRect& rect = target.placement.visible;
  if (IsEmpty(rect)) return JPEG_SUCCESS;
  SamplePlane planes[JPEG_MAX_COMPONENTS];
  const Status status = PlanesOfMcu(state, *target.geometry, planes);
  if (!status.ok()) return status;
  const PixelSamples luma(planes[0]), cb(planes[1]), cr(planes[2]);
  const int32_t run = std::min(planes[0].block_size, planes[1].block_size << kShift);
  const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
  McuLanes lanes;
  for (int32_t y = rect.top, lane = 0; y < rect.bottom; ++y) {
    const int16_t *luma_row = luma.Row(y), *cb_row = cb.Row(y), *cr_row = cr.Row(y);
    for (int32_t x = rect.left; x < rect.right;) {
      const int32_t end = std::min(rect.right, (x | (run - 1)) + 1);
      GatherRun<kShift>(luma.At(luma_row, x), cb.At(cb_row, x >> kShift),
                        cr.At(cr_row, x >> kShift), x, end - x, lanes, lane);
      lane += end - x;
      x = end;
    }
  }
  ConvertLanesInOrder(state, lanes.luma, lanes.cb, lanes.cr, width * height, lanes.words);
  uint8_t* out =
      target.placement.out + static_cast<ptrdiff_t>(rect.top) * state.row_stride + rect.left * 3;
  for (int32_t y = 0; y < height; ++y, out += state.row_stride)
    StoreRow(lanes.words + y * width, width, out);
  return JPEG_SUCCESS;
}

}  // namespace

WholeReducedMcuWriter WholeReducedMcuWriterOf(const JpegState& state, const ReadGeometry& g) {
  if (g.scale == 1) return nullptr;
  if (g.component_count == 1) return WholeGrayMcuWriterOf(state, g);
  const int32_t chroma_shift = OnePassChromaShift(state, g);
  if (chroma_shift == 1) return Whole422McuWriterOf(state, g);
  if (chroma_shift != 0) return nullptr;
  const ComponentGeometry* c = g.components;
  const int32_t edge = g.mcu_width, luma = c[0].h;
  for (int32_t i = 1; i < 3; ++i)
    if (c[i].h != 1 || c[i].v != 1 || c[i].block_size != edge) return nullptr;
  if (g.mcu_height != edge || c[0].v != luma || c[0].block_size * luma != edge) return nullptr;
  const bool bgr = state.dib_color == COLOR_BGR;
  if (const WholeReducedMcuWriter avx2 =
          WholeSquareMcuWriterAvx2(*state.routine_table, bgr, edge, luma))
    return avx2;
  return bgr ? WholeSquareMcuWriter<true>(edge, luma) : WholeSquareMcuWriter<false>(edge, luma);
}

int32_t WriteGenericMcu(JPEG_PROPERTIES* properties, const McuTarget& target) {
  const JpegState& state = properties->state;
  switch (OnePassChromaShift(state, *target.geometry)) {
    case 0:
      return WriteYccMcu<0>(state, target).code();
    case 1:
      return WriteYccMcu<1>(state, target).code();
    default:
      break;
  }
  const Status status = ExpandMcu(state, target);
  if (status.ok() && state.color_convert_flag == 1)
    ConvertPixelsInPlace(state, target.placement.visible, target.placement.out);
  return status.code();
}

int32_t WriteNonInterleavedBlock(JPEG_PROPERTIES* properties, const McuTarget& target) {
  const JpegState& state = properties->state;
  const BlockSpan span = SpanOf(state, target);
  if (IsEmpty(span.rect)) return JPEG_SUCCESS;
  const int32_t channel = ChannelOfComponent(state, target.component);
  if (channel >= 0)
    ExpandIntoChannel(span.plane, span.h_max, span.v_max, span.rect, span.placement.out,
                      static_cast<int32_t>(state.dib_channels), state.row_stride, channel);
  // Every pixel lies in exactly one block of the first component.
  if (target.component == 0) FillExtraChannels(state, span.rect, span.placement.out);
  return JPEG_SUCCESS;
}

int32_t WriteNonInterleavedYccBlock(JPEG_PROPERTIES* properties, const McuTarget& target) {
  const JpegState& state = properties->state;
  if (state.dib_channels != 2) return WriteNonInterleavedBlock(properties, target);
  const BlockSpan span = SpanOf(state, target);
  if (IsEmpty(span.rect)) return JPEG_SUCCESS;
  if (target.component == 0)
    ExpandIntoChannel(span.plane, span.h_max, span.v_max, span.rect, span.placement.out, 2,
                      state.row_stride, 0);
  else if (target.component <= 2)
    PackChroma(span, target.component - 1, state.row_stride);
  return JPEG_SUCCESS;
}

void ConvertPixelsInPlace(const JpegState& state, const McuRect& rect, uint8_t* out) {
  const int32_t channels = static_cast<int32_t>(state.dib_channels);
  if (channels < 3) return;
  const bool bgr = state.dib_color == COLOR_BGR;
  const bool inverted = state.jpeg_color == COLOR_YCBCRA;
  const int32_t red = bgr ? 2 : 0, blue = bgr ? 0 : 2;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    uint8_t* row = out + static_cast<ptrdiff_t>(y) * state.row_stride;
    for (int32_t x = rect.left; x < rect.right; ++x) {
      uint8_t* p = row + x * channels;
      const RgbPixel rgb = YccToRgb(p[0], p[1], p[2]);
      p[red] = inverted ? static_cast<uint8_t>(255 - rgb.r) : rgb.r;
      p[1] = inverted ? static_cast<uint8_t>(255 - rgb.g) : rgb.g;
      p[blue] = inverted ? static_cast<uint8_t>(255 - rgb.b) : rgb.b;
    }
  }
}

void FillComponentChannelsMidLevel(JPEG_PROPERTIES& properties) {
  const JpegState& state = properties.state;
  const OutputWindow window = ComputeReadGeometry(state).window;
  const McuRect& v = window.visible;
  const int32_t filled = std::min(window.channels, state.frame.component_count);
  for (int32_t y = 0; y < v.bottom - v.top; ++y) {
    uint8_t* row = window.pixels + static_cast<ptrdiff_t>(y) * window.row_step;
    for (int32_t x = 0; x < v.right - v.left; ++x)
      std::fill_n(row + x * window.channels, filled, uint8_t{128});
  }
}

void ConvertImageInPlace(JPEG_PROPERTIES& properties) {
  const JpegState& state = properties.state;
  if (state.color_convert_flag != 1) return;
  if (state.dib_color != COLOR_RGB && state.dib_color != COLOR_BGR && state.dib_color != COLOR_RGBA)
    return;
  // Every pixel the read wrote, relative to buffer pixel (0, 0).
  const OutputWindow window = ComputeReadGeometry(state).window;
  const McuRect& v = window.visible;
  ConvertPixelsInPlace(state, {0, 0, v.right - v.left, v.bottom - v.top}, window.pixels);
}

}  // namespace jpeg
