// The progressive scan driver and its block procedures (T.81 G.1.2). A scan codes one
// band of coefficients (Ss..Se) of one or more components, either first (the bits from
// Al up) or as a refinement (bit Al). DC scans may interleave components over the
// frame's MCU grid; AC scans hold one component and visit exactly the blocks T.81 A.2
// gives it. Blocks are decoded in place in the coefficient store, in natural order as the
// output takes them, through the sequential path's bit reader; a band's zigzag positions
// map through kNaturalOrder. One end-of-band run may span many blocks, and an AC
// first scan passes through the blocks of a run without touching them, so a scan that
// is one long run costs next to nothing.
#include "jpeg/progressive_decode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "jpeg/block_reader.h"
#include "jpeg/coefficient_store.h"
#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/quantization.h"
#include "jpeg/read_geometry.h"

namespace jpeg {
namespace {

// Every block outside an end-of-band run takes at least one bit and the bit buffer
// holds at most 64, so this many blocks after memory input ran dry consume them all.
constexpr int32_t kBlocksAfterInputEnd = 64;

enum class Pass { kDcFirst, kDcRefine, kAcFirst, kAcRefine };

Pass PassOf(const JpegScanHeader& scan) {
  if (scan.ss == 0) return scan.ah == 0 ? Pass::kDcFirst : Pass::kDcRefine;
  return scan.ah == 0 ? Pass::kAcFirst : Pass::kAcRefine;
}

// T.81 B.2.3 and G.1.1.1: DC and AC never share a scan, an AC scan has one component,
// and the successive-approximation bit positions fit the 16-bit coefficients.
bool IsValidProgression(const JpegScanHeader& scan) {
  if (scan.se > 63 || scan.ss > scan.se) return false;
  if (scan.ss == 0 && scan.se != 0) return false;
  if (scan.ss > 0 && scan.component_count != 1) return false;
  return scan.ah <= 13 && scan.al <= 13;
}

int16_t Scaled(int32_t value, int32_t al) {
  return static_cast<int16_t>(value * (1 << al));
}

// T.81 G.1.2.2: values from Al up; an end-of-band run ends this block and the next ones.
// A code and its value or run bits come from the bits held in one step, but near a 0xFF or
// the end of the data.
[[gnu::always_inline]] inline int32_t AcFirstBand(BlockReader& reader, int32_t& eob_run,
                                                  const HuffmanLookup& ac, const StorePlane& plane,
                                                  StoreBlock& block, int32_t ss, int32_t se,
                                                  int32_t al) {
  for (int32_t k = ss; k <= se; ++k) {
    const bool held = reader.Ensure(kLongestStep);
    int32_t symbol = 0, value = 0;
    int32_t status = JPEG_SUCCESS;
    if (held) [[likely]]
      symbol = HeldStep<true>(reader, ac, &value);
    else if (status = reader.Symbol(ac.table, &symbol); status != JPEG_SUCCESS)
      return status;
    const int32_t run = symbol >> 4, size = symbol & 0x0F;
    if (size != 0) {
      if (!held && (status = reader.Value(size, &value)) != JPEG_SUCCESS) return status;
      k += run;
      // k passes 63 only in corrupt data, where the order table's padding takes it
      StoreAcCoefficient(plane, block, kNaturalOrder[k], Scaled(value, al));
    } else if (run == 15) {
      k += 15;  // ZRL: sixteen zeros with the loop's own step
    } else {
      uint32_t extra = 0;
      if (run > 0 && held) extra = reader.Take(run);
      if (run > 0 && !held) status = reader.Bits(run, &extra);
      eob_run = (1 << run) - 1 + static_cast<int32_t>(extra);  // this block is the first
      return status;
    }
  }
  return JPEG_SUCCESS;
}

// The block is kept in registers while it decodes.
[[gnu::always_inline]] inline int32_t AcFirstSteps(BlockReader& reader, int32_t& eob_run,
                                                   const HuffmanLookup& ac, const StorePlane& plane,
                                                   StoreBlock& block, int32_t ss, int32_t se,
                                                   int32_t al) {
  StoreBlock held = block;
  const int32_t status = AcFirstBand(reader, eob_run, ac, plane, held, ss, se, al);
  block = held;
  return status;
}

// kZigzagBits[r][b]: the zigzag positions of the coefficients of row r of a block (natural
// positions 8r..8r+7) that byte b has bits set for.
constexpr auto kZigzagBits = [] {
  std::array<std::array<uint64_t, 256>, 8> table{};
  for (int32_t k = 0; k < 64; ++k) {
    const int32_t natural = kNaturalOrder[k], row = natural / 8, bit = natural % 8;
    for (int32_t b = 0; b < 256; ++b)
      if ((b >> bit & 1) != 0) table[row][b] |= uint64_t{1} << k;
  }
  return table;
}();

// Bit k set for each non-zero coefficient at zigzag position k among four rows of a block in
// natural order, from `first_row` on: a byte per coefficient (a loop the compiler makes vector
// compares of), each row's 8 bytes gathered into 8 bits by one multiply (byte j's low bit
// lands on bit 56 + j, every other product below bit 56 or beyond 63), and the row's bits
// placed in zigzag order by a table.
uint64_t NonZeroRows(const int16_t* rows, int32_t first_row) {
  uint8_t non_zero[32];
  for (int32_t k = 0; k < 32; ++k) non_zero[k] = rows[k] != 0;
  uint64_t mask = 0;
  for (int32_t row = 0; row < 4; ++row) {
    uint64_t bytes = 0;
    std::memcpy(&bytes, non_zero + 8 * row, sizeof bytes);
    mask |= kZigzagBits[first_row + row][(bytes * 0x0102040810204080ull) >> 56];
  }
  return mask;
}

// The non-zero coefficients of a stored block, by zigzag position.
uint64_t NonZeroMask(const int16_t* block, int64_t lower_half, uint8_t summary) {
  const uint64_t upper = NonZeroRows(block, 0);
  return (summary & kHasLowerRows) != 0 ? upper | NonZeroRows(block + lower_half, 4) : upper;
}

// Bits from..to (from 1..64, to 0..63), none when from > to. Without branches: a
// refinement step asks for many empty ones.
uint64_t Span(int32_t from, int32_t to) {
  return ((uint64_t{2} << to) - 1) & (0 - (uint64_t{2} << (from - 1)));
}

constexpr uint64_t kEachByte = 0x0101010101010101ull;

// The number of ones in each byte of the word, in that byte.
uint64_t OnesPerByte(uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555ull;
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  return (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
}

// Ones in the word: the baseline instruction set has no population count.
int32_t CountOnes(uint64_t x) {
  return static_cast<int32_t>((OnesPerByte(x) * kEachByte) >> 56);
}

// kNthOneInByte[n][b]: the position of the one in byte b with n ones below it.
constexpr auto kNthOneInByte = [] {
  std::array<std::array<uint8_t, 256>, 8> table{};
  for (int32_t b = 0; b < 256; ++b)
    for (int32_t bit = 0, n = 0; bit < 8; ++bit)
      if ((b >> bit & 1) != 0) table[n++][b] = static_cast<uint8_t>(bit);
  return table;
}();

// The position of the one in x with n (0..15) ones below it; 64 when x has no more than
// n. Without a loop: the byte that holds it is the first whose running count of ones
// exceeds n, so a run length costs no mispredicted branches.
int32_t NthOne(uint64_t x, int32_t n) {
  constexpr uint64_t kTops = 0x8080808080808080ull;
  const uint64_t sums = OnesPerByte(x) * kEachByte;  // byte i: the ones of bytes 0..i
  // Each byte is at most 64, so no subtraction borrows from its neighbour.
  const uint64_t reached = ((sums | kTops) - uint64_t(n + 1) * kEachByte) & kTops;
  if (reached == 0) return 64;
  const int32_t byte = std::countr_zero(reached) >> 3;
  const int32_t below = static_cast<int32_t>((sums << 8) >> (8 * byte) & 0xFF);
  return 8 * byte + kNthOneInByte[n - below][x >> (8 * byte) & 0xFF];
}

// A correction bit (0 or 1) for a coefficient already non-zero: 1 moves it away from
// zero by bit Al, unless that bit is set already. Without branches: the bits are as
// good as random, so a branch on them would mispredict half the time.
[[gnu::always_inline]] inline void Correct(int16_t* coefficient, uint32_t bit, int32_t al) {
  const int32_t value = *coefficient;
  const int32_t step = static_cast<int32_t>(bit << al) & ~value;
  const int32_t sign = value >> 31;  // -1 for a negative coefficient, else 0
  *coefficient = static_cast<int16_t>(value + ((step ^ sign) - sign));
}

// Refines, in order, the non-zero coefficients the mask names, one bit at a time: where
// a marker leaves fewer bits than a batch, every bit before it still counts.
[[gnu::noinline]] int32_t RefineEach(BlockReader& reader, int16_t* block, int64_t lower_half,
                                     uint64_t non_zero, int32_t al) {
  for (; non_zero != 0; non_zero &= non_zero - 1) {
    uint32_t bit = 0;
    const int32_t status = reader.Bits(1, &bit);
    if (status != JPEG_SUCCESS) return status;
    Correct(&block[StorePosition(kNaturalOrder[std::countr_zero(non_zero)], lower_half)], bit, al);
  }
  return JPEG_SUCCESS;
}

// Refines, in order, the non-zero coefficients the mask names, taking their correction
// bits up to 15 at a time.
[[gnu::always_inline]] inline int32_t RefineAll(BlockReader& reader, int16_t* block,
                                                int64_t lower_half, uint64_t non_zero, int32_t al) {
  while (non_zero != 0) {
    const int32_t n = std::min(CountOnes(non_zero), 15);
    uint32_t bits = 0;
    const int32_t status = reader.Bits(n, &bits);
    if (status == kMarkerReached) return RefineEach(reader, block, lower_half, non_zero, al);
    if (status != JPEG_SUCCESS) return status;
    for (int32_t i = n - 1; i >= 0; --i, non_zero &= non_zero - 1)
      Correct(&block[StorePosition(kNaturalOrder[std::countr_zero(non_zero)], lower_half)],
              bits >> i & 1, al);
  }
  return JPEG_SUCCESS;
}

// T.81 G.1.2.3: new coefficients of magnitude 1 << Al placed after `run` zeros, every
// non-zero coefficient passed on the way refined; an end-of-band run refines the rest
// of the band of this block and of the blocks it spans.
[[gnu::always_inline]] inline int32_t AcRefineSteps(BlockReader& reader, int32_t& eob_run,
                                                    const JpegHuffmanDecodeTable& ac,
                                                    const StorePlane& plane, StoreBlock& block,
                                                    int32_t ss, int32_t se, int32_t al) {
  const int32_t p1 = 1 << al;
  // Only AC positions count below, so a block without AC coefficients needs no search.
  uint64_t non_zero =
      (block.summary & kHasAc) != 0 ? NonZeroMask(block.upper, block.lower_half, block.summary) : 0;
  int32_t k = ss;
  for (; eob_run == 0 && k <= se; ++k) {
    int32_t symbol = 0;
    int32_t status = reader.Symbol(ac, &symbol);
    if (status != JPEG_SUCCESS) return status;
    const int32_t run = symbol >> 4;
    int32_t value = 0;
    if ((symbol & 0x0F) != 0) {
      uint32_t sign = 0;
      status = reader.Bits(1, &sign);
      if (status != JPEG_SUCCESS) return status;
      value = sign != 0 ? p1 : -p1;
    } else if (run != 15) {
      uint32_t extra = 0;
      if (run > 0) status = reader.Bits(run, &extra);
      if (status != JPEG_SUCCESS) return status;
      eob_run = (1 << run) + static_cast<int32_t>(extra);
      break;
    }
    // Pass `run` zeros, refining the non-zero coefficients on the way; the next zero
    // takes the new value (or is the last of a ZRL's sixteen).
    const int32_t stop = std::min(NthOne(~non_zero & Span(k, se), run), se + 1);
    status = RefineAll(reader, block.upper, block.lower_half, non_zero & Span(k, stop - 1), al);
    if (status != JPEG_SUCCESS) return status;
    k = stop;
    if (value != 0 && k <= se) {
      StoreAcCoefficient(plane, block, kNaturalOrder[k], static_cast<int16_t>(value));
      non_zero |= uint64_t{1} << k;
    }
  }
  if (eob_run == 0) return JPEG_SUCCESS;
  // Inside the run only the non-zero coefficients of the band take a bit.
  const int32_t status =
      RefineAll(reader, block.upper, block.lower_half, non_zero & Span(k, se), al);
  if (status == JPEG_SUCCESS) --eob_run;
  return status;
}

// T.81 G.1.2.1: the difference is added to the predictor and the sum scaled by 2^Al. The
// code and its value bits come from the lookup in one step, as in AC first scans.
[[gnu::always_inline]] inline int32_t DcFirstSteps(BlockReader& reader, const HuffmanLookup& dc,
                                                   int16_t* block, int32_t* dc_pred, int32_t al) {
  int32_t symbol = 0, value = 0;
  if (reader.Ensure(kLongestStep)) [[likely]] {
    HeldStep<true>(reader, dc, &value);
  } else {
    int32_t status = reader.Symbol(dc.table, &symbol);
    if (status == JPEG_SUCCESS && (symbol & 0x0F) != 0)
      status = reader.Value(symbol & 0x0F, &value);
    if (status != JPEG_SUCCESS) return status;
  }
  *dc_pred = static_cast<int16_t>(*dc_pred + value);
  block[0] = Scaled(*dc_pred, al);
  return JPEG_SUCCESS;
}

int32_t DcRefineSteps(BlockReader& reader, int16_t* block, int32_t al) {
  uint32_t bit = 0;
  const int32_t status = reader.Bits(1, &bit);
  if (status == JPEG_SUCCESS && bit != 0) block[0] = static_cast<int16_t>(block[0] | (1 << al));
  return status;
}

template <typename Steps>
int32_t WithBlockReader(JpegInputStream& stream, Steps steps) {
  BlockReader reader(stream);
  const int32_t status = steps(reader);
  reader.Finish();
  return BlockStatus(status);
}

// What the blocks of a scan are decoded with, looked up once per scan.
struct ScanCoding {
  const HuffmanLookup* dc[JPEG_MAX_COMPONENTS];  // of DC first scans
  const HuffmanLookup* ac;                       // of AC scans
  int32_t* dc_pred;
  int32_t* eob_run;
  int32_t ss, se, al;
  int32_t first, last;  // the lowest and highest natural positions of the band
  StorePlane plane;     // of the first scan component
  bool complete;        // false when a lookup could not be allocated
};

ScanCoding CodingOf(JpegState& state, JpegScanHeader& scan) {
  ScanCoding coding{};
  coding.complete = true;
  if (PassOf(scan) == Pass::kDcFirst) {
    for (int32_t j = 0; j < scan.component_count; ++j) {
      coding.dc[j] = HuffmanLookupOf(state, 0, scan.components[j].dc_table);
      coding.complete = coding.complete && coding.dc[j] != nullptr;
    }
  }
  if (scan.ss > 0) {
    coding.ac = HuffmanLookupOf(state, 1, scan.components[0].ac_table);
    coding.complete = coding.ac != nullptr;
  }
  coding.plane = StorePlaneOf(state, scan.components[0].frame_index);
  coding.dc_pred = scan.dc_pred;
  coding.eob_run = &state.stream.eob_run;
  coding.ss = scan.ss;
  coding.se = scan.se;
  coding.al = scan.al;
  coding.first = 63;
  for (int32_t k = scan.ss; k <= scan.se; ++k) {
    coding.first = std::min(coding.first, kNaturalOrder[k]);
    coding.last = std::max(coding.last, kNaturalOrder[k]);
  }
  return coding;
}

// One block of scan component j on the held reader: 0, kMarkerReached or a negative status.
template <Pass kPass>
[[gnu::always_inline]] inline int32_t DcBlockSteps(BlockReader& reader, const ScanCoding& c,
                                                   int32_t j, int16_t* block) {
  if constexpr (kPass == Pass::kDcFirst)
    return DcFirstSteps(reader, *c.dc[j], block, &c.dc_pred[j], c.al);
  return DcRefineSteps(reader, block, c.al);
}

// Block b of a one-component scan's plane on the held reader, an AC block's summary kept: 0,
// kMarkerReached or a negative status.
template <Pass kPass>
[[gnu::always_inline]] inline int32_t BlockSteps(BlockReader& reader, const ScanCoding& c,
                                                 int64_t b) {
  if constexpr (kPass == Pass::kDcFirst || kPass == Pass::kDcRefine)
    return DcBlockSteps<kPass>(reader, c, 0, c.plane.upper + b * 32);
  StoreBlock block = c.plane.Block(b);
  int32_t status = 0;
  if constexpr (kPass == Pass::kAcFirst)
    status = AcFirstSteps(reader, *c.eob_run, *c.ac, c.plane, block, c.ss, c.se, c.al);
  else
    status = AcRefineSteps(reader, *c.eob_run, c.ac->table, c.plane, block, c.ss, c.se, c.al);
  c.plane.Note(block);
  return status;
}

// Memory input ran dry and every real bit has been decoded: the rest would be padding.
bool SpentAfterInputEnd(bool ran_dry, int32_t eob_run, int32_t& blocks_after_end, int32_t blocks) {
  if (!ran_dry || eob_run != 0) return false;
  blocks_after_end += blocks;
  return blocks_after_end > kBlocksAfterInputEnd;
}

// Units (MCUs or blocks) from `index` of the scan's grid up to the end of its row and
// the next restart point: those one reader decodes before restart processing.
int32_t StretchLength(const JpegScanHeader& scan, int64_t index, int32_t to_row_end) {
  if (scan.restart_interval == 0) return to_row_end;
  return static_cast<int32_t>(
      std::min<int64_t>(to_row_end, scan.restart_interval - index % scan.restart_interval));
}

// A stretch ended the scan early: input ran dry and the rest would decode padding.
constexpr int32_t kScanSpent = 101;

// Where the scan stands is saved in it; the pixels of the cells just decoded are
// reported.
int32_t Interrupt(JpegState& state, const JpegScanHeader& scan, const GridSpan& cells) {
  return ReportInterrupt(state, PixelsOfCells(ComputeReadGeometry(state), state.frame, scan, cells))
      .code();
}

// Interleaved (DC) scans: the frame's MCU grid, H x V blocks per scan component;
// MCUs x..end-1 of row y on one reader, x left past the last one decoded.
template <Pass kPass>
int32_t DecodeMcuStretch(BlockReader& reader, const ScanCoding& coding, const JpegScanHeader& scan,
                         const StoreGeometry& g, int16_t* const* planes, int32_t& x, int32_t y,
                         int32_t end, int32_t blocks, int32_t& after_end) {
  for (;;) {
    for (int32_t j = 0; j < scan.component_count; ++j) {
      const int32_t i = scan.components[j].frame_index;
      for (int32_t v = 0; v < g.v[i]; ++v) {
        int16_t* block = planes[i] + g.BlockOffset(i, x * g.h[i], y * g.v[i] + v);
        for (int32_t h = 0; h < g.h[i]; ++h, block += 32) {
          const int32_t status = BlockStatus(DcBlockSteps<kPass>(reader, coding, j, block));
          if (status != JPEG_SUCCESS) return status;
        }
      }
    }
    if (++x == end) return JPEG_SUCCESS;
    if (SpentAfterInputEnd(reader.InputRanDry(), *coding.eob_run, after_end, blocks))
      return kScanSpent;
  }
}

template <Pass kPass>
int32_t DecodeInterleavedScan(JpegState& state, JpegScanHeader& scan) {
  const StoreGeometry g = StoreGeometryOf(state.frame);
  const ScanCoding coding = CodingOf(state, scan);
  if (!coding.complete) return JPEG_ERR_MEMORY;
  int32_t blocks = 0;
  for (int32_t j = 0; j < scan.component_count; ++j) {
    const int32_t i = scan.components[j].frame_index;
    blocks += g.h[i] * g.v[i];
  }
  JpegInputStream& stream = state.stream;
  int32_t after_end = 0;
  for (int32_t y = scan.mcu_row, x = scan.mcu_column; y < g.mcus_down; ++y, x = 0) {
    while (x < g.mcus_across) {
      const int32_t end =
          state.interrupt_flag != 0
              ? x + 1
              : x + StretchLength(scan, int64_t{y} * g.mcus_across + x, g.mcus_across - x);
      BlockReader reader(stream);
      int32_t status = DecodeMcuStretch<kPass>(reader, coding, scan, g, state.coefficient_planes, x,
                                               y, end, blocks, after_end);
      reader.Finish();
      if (status != JPEG_SUCCESS) return status == kScanSpent ? JPEG_SUCCESS : status;
      status = ProcessRestart(stream, scan, g.mcus_across, g.mcus_down, x - 1, y);
      if (status != JPEG_SUCCESS) return status;
      if (SpentAfterInputEnd(MemoryInputRanDry(stream), stream.eob_run, after_end, blocks))
        return JPEG_SUCCESS;
      if (state.interrupt_flag != 0 && (x < g.mcus_across || y + 1 < g.mcus_down)) {
        scan.mcu_column = x % g.mcus_across;
        scan.mcu_row = x < g.mcus_across ? y : y + 1;
        return Interrupt(state, scan, {x - 1, x, y, y + 1});
      }
    }
  }
  return JPEG_SUCCESS;
}

// Blocks ahead of the one being decoded whose cache lines are asked for: the scans are
// bound by the store's memory traffic more than by their arithmetic.
constexpr int32_t kPrefetchBlocks = 16;

// Asks for the cache lines of block b's halves that the scan's band lies in, the lower
// one only where it is open.
[[gnu::always_inline]] inline void Prefetch(const ScanCoding& coding, int64_t b) {
  const int16_t* upper = coding.plane.upper + b * 32;
  if (coding.first < 32) __builtin_prefetch(upper, 1);
  if (coding.last >= 32 && (coding.plane.Summary(b) & kHasLowerRows) != 0)
    __builtin_prefetch(upper + coding.plane.LowerHalf(b), 1);
}

// Blocks bx..end-1 of the block row whose first block is `row` on one reader, bx left past
// the last one taken. An AC first scan passes through the blocks of
// an end-of-band run without touching them, so a scan that is one long run costs next to
// nothing; a refinement passes so through those of the run without AC coefficients, which
// take no correction bits.
template <Pass kPass>
int32_t DecodeBlockStretch(BlockReader& reader, const ScanCoding& coding, int64_t row, int32_t& bx,
                           int32_t end, int32_t& after_end) {
  int32_t& eob_run = *coding.eob_run;
  for (;;) {
    if (kPass == Pass::kAcFirst && eob_run > 0) {
      const int32_t n = std::min(eob_run, end - bx);
      eob_run -= n;
      bx += n;
    } else if (kPass == Pass::kAcRefine && eob_run > 0 && !coding.plane.HasAc(row + bx)) {
      --eob_run;
      ++bx;
    } else {
      const int32_t ahead = std::min(bx + kPrefetchBlocks, end - 1);
      Prefetch(coding, row + ahead);
      const int32_t status = BlockStatus(BlockSteps<kPass>(reader, coding, row + bx));
      if (status != JPEG_SUCCESS) return status;
      ++bx;
    }
    if (bx == end) return JPEG_SUCCESS;
    if (SpentAfterInputEnd(reader.InputRanDry(), eob_run, after_end, 1)) return kScanSpent;
  }
}

// Scans of one component: its own block grid (T.81 A.2), one block per MCU, row by
// row through the component's plane.
template <Pass kPass>
int32_t DecodeComponentScan(JpegState& state, JpegScanHeader& scan) {
  const StoreGeometry g = StoreGeometryOf(state.frame);
  const int32_t i = scan.components[0].frame_index, v = g.v[i];
  const ScanGrid grid = GridOfScan(GeometryOfFrame(state.frame), scan);
  const int32_t across = grid.across, down = grid.down;
  const ScanCoding coding = CodingOf(state, scan);
  if (!coding.complete) return JPEG_ERR_MEMORY;
  JpegInputStream& stream = state.stream;
  int32_t after_end = 0;
  for (int32_t by = scan.mcu_row; by < down; ++by) {
    const int64_t row = g.BlockOffset(i, 0, by) / 32;
    for (int32_t bx = 0; bx < across;) {
      const int32_t end = bx + StretchLength(scan, int64_t{by} * across + bx, across - bx);
      BlockReader reader(stream);
      int32_t status = DecodeBlockStretch<kPass>(reader, coding, row, bx, end, after_end);
      reader.Finish();
      if (status != JPEG_SUCCESS) return status == kScanSpent ? JPEG_SUCCESS : status;
      status = ProcessRestart(stream, scan, across, down, bx - 1, by);
      if (status != JPEG_SUCCESS) return status;
      if (SpentAfterInputEnd(MemoryInputRanDry(stream), stream.eob_run, after_end, 1))
        return JPEG_SUCCESS;
    }
    // An interrupted read stops after each MCU row: V block rows of the component.
    if (state.interrupt_flag != 0 && (by + 1) % v == 0 && by + 1 < down) {
      scan.mcu_row = by + 1;
      return Interrupt(state, scan, {0, across, by + 1 - v, by + 1});
    }
  }
  return JPEG_SUCCESS;
}

template <Pass kPass>
int32_t DecodeScanOfPass(JpegState& state, JpegScanHeader& scan) {
  if constexpr (kPass == Pass::kDcFirst || kPass == Pass::kDcRefine)
    if (scan.component_count > 1) return DecodeInterleavedScan<kPass>(state, scan);
  return DecodeComponentScan<kPass>(state, scan);
}

}  // namespace

int32_t StartProgressiveScan(JpegState& state, const JpegScanHeader& scan) {
  if (!IsValidProgression(scan)) return JPEG_ERR_DATA;
  if (state.progressive_scan_count >= kMaxProgressiveScans) return JPEG_ERR_NOT_SUPPORTED;
  if (state.progressive_scan_count == 0) {
    const int32_t status = AllocateCoefficientStore(state);
    if (status != JPEG_SUCCESS) return status;
  }
  ++state.progressive_scan_count;
  if (scan.se == 0) {
    if (scan.al == 0) state.dc_final_count += scan.component_count;
  } else if (scan.al == 0 && scan.se == 63) {
    ++state.ac_final_count;
  }
  return JPEG_SUCCESS;
}

int32_t DecodeProgressiveScan(JpegState& state, JpegScanHeader& scan) {
  switch (PassOf(scan)) {
    case Pass::kDcFirst:
      return DecodeScanOfPass<Pass::kDcFirst>(state, scan);
    case Pass::kDcRefine:
      return DecodeScanOfPass<Pass::kDcRefine>(state, scan);
    case Pass::kAcFirst:
      return DecodeScanOfPass<Pass::kAcFirst>(state, scan);
    case Pass::kAcRefine:
      return DecodeScanOfPass<Pass::kAcRefine>(state, scan);
  }
  return JPEG_ERR_INTERNAL;
}

int32_t DecodeDcFirst(JpegInputStream& stream, const HuffmanLookup& dc, int16_t* block,
                      int32_t* dc_pred, int32_t al) {
  return WithBlockReader(
      stream, [&](BlockReader& reader) { return DcFirstSteps(reader, dc, block, dc_pred, al); });
}

int32_t DecodeDcRefine(JpegInputStream& stream, int16_t* block, int32_t al) {
  return WithBlockReader(stream,
                         [&](BlockReader& reader) { return DcRefineSteps(reader, block, al); });
}

int32_t DecodeAcFirst(JpegInputStream& stream, const HuffmanLookup& ac, int16_t* block, int32_t ss,
                      int32_t se, int32_t al) {
  if (stream.eob_run > 0) {
    --stream.eob_run;
    return JPEG_SUCCESS;
  }
  // A whole block: its lower half follows its upper one.
  StoreBlock whole{block, 32, 0, kHasLowerRows};
  return WithBlockReader(stream, [&](BlockReader& reader) {
    return AcFirstSteps(reader, stream.eob_run, ac, StorePlane{}, whole, ss, se, al);
  });
}

int32_t DecodeAcRefine(JpegInputStream& stream, const JpegHuffmanDecodeTable& ac, int16_t* block,
                       int32_t ss, int32_t se, int32_t al) {
  // A whole block, its lower half after its upper one; it may hold AC coefficients.
  StoreBlock whole{block, 32, 0, kHasAc | kHasLowerRows};
  return WithBlockReader(stream, [&](BlockReader& reader) {
    return AcRefineSteps(reader, stream.eob_run, ac, StorePlane{}, whole, ss, se, al);
  });
}

}  // namespace jpeg
