// The coefficient store: its size checks and allocation, and the one pass that turns
// it into pixels. Coefficients stay quantised in the store (2 bytes each, the only
// image-sized buffer a progressive read allocates); each MCU is gathered into the work
// buffer and handed to the sink, which dequantises, transforms and writes it.
#include "jpeg/coefficient_store.h"

#include <cstdlib>
#include <cstring>

#include "jpeg/coefficient_output.h"
#include "jpeg/input_stream.h"
#include "jpeg/mcu_sink.h"
#include "jpeg/read_geometry.h"
#include "jpeg/routine_table.h"

namespace jpeg {
namespace {

constexpr size_t kBlockAlignment = 64;  // a cache line

// A plane's allocation: its pairs' entries, each band's count of opened pairs, then (on a
// cache line) the upper halves and the lower-half region of whole pairs.
struct PlaneLayout {
  uint64_t pairs;
  uint64_t bands;
  uint64_t header_bytes;  // entries and counts, cleared at allocation
  uint64_t plane_bytes;   // upper halves and lower-half region

  explicit PlaneLayout(uint64_t blocks)
      : pairs((blocks + 1) / 2),
        bands((pairs + kBandPairs - 1) / kBandPairs),
        header_bytes((pairs * 2 + 3) / 4 * 4 + bands * 4),
        plane_bytes(blocks * 64 + pairs * 128) {}
};

// Blocks T.81 A.2 gives the frame's components: those a first DC scan codes.
uint64_t CodedBlocks(const ReadGeometry& geometry) {
  uint64_t blocks = 0;
  for (int32_t i = 0; i < geometry.component_count; ++i)
    blocks += uint64_t(geometry.components[i].blocks_across) *
              uint64_t(geometry.components[i].blocks_down);
  return blocks;
}

// The scan the sink is prepared for: every frame component in frame order, as the
// store holds an MCU.
JpegScanHeader WholeFrameScan(const JpegFrameHeader& frame) {
  JpegScanHeader scan{};
  scan.component_count = frame.component_count;
  for (int32_t i = 0; i < frame.component_count; ++i) {
    const JpegFrameComponent& c = frame.components[i];
    scan.components[i] = {i, c.h, c.v, 0, 0, c.quant_slot};
  }
  return scan;
}

// Gathers MCU (x, y) from the planes into the work buffer as the sink takes it: the
// frame components in frame order, each with its H x V blocks (row of blocks outer).
void GatherMcu(const StorePlane* planes, int32_t component_count, const StoreGeometry& g, int32_t x,
               int32_t y, int16_t* blocks) {
  for (int32_t i = 0; i < component_count; ++i) {
    for (int32_t v = 0; v < g.v[i]; ++v)
      for (int32_t h = 0; h < g.h[i]; ++h, blocks += 64) {
        const StoreBlock block =
            planes[i].Block(g.BlockOffset(i, x * g.h[i] + h, y * g.v[i] + v) / 32);
        std::memcpy(blocks, block.upper, 32 * sizeof(int16_t));
        if ((block.summary & kHasLowerRows) != 0)
          std::memcpy(blocks + 32, block.upper + block.lower_half, 32 * sizeof(int16_t));
        else
          std::memset(blocks + 32, 0, 32 * sizeof(int16_t));
      }
  }
}

// The blocks of store MCU (x, y), in natural order in the work buffer, to their planes.
void PutStoreMcu(JpegState& state, const StoreGeometry& g, int32_t x, int32_t y) {
  const int16_t* block = state.mcu_work_buffer;
  for (int32_t i = 0; i < state.frame.component_count; ++i)
    for (int32_t v = 0; v < g.v[i]; ++v)
      for (int32_t h = 0; h < g.h[i]; ++h, block += 64)
        PutBlock(state, i, x * g.h[i] + h, y * g.v[i] + v, block);
}

}  // namespace

StoreGeometry StoreGeometryOf(const JpegFrameHeader& frame) {
  const ReadGeometry frame_geometry = GeometryOfFrame(frame);
  const ScanGrid grid = frame.component_count == 1
                            ? ScanGrid{frame_geometry.components[0].blocks_across,
                                       frame_geometry.components[0].blocks_down}
                            : ScanGrid{frame_geometry.mcus_across, frame_geometry.mcus_down};
  StoreGeometry g{};
  g.mcus_across = grid.across;
  g.mcus_down = grid.down;
  for (int32_t i = 0; i < frame.component_count; ++i) {
    g.h[i] = frame_geometry.components[i].h;
    g.v[i] = frame_geometry.components[i].v;
    g.blocks_per_mcu += g.h[i] * g.v[i];
  }
  return g;
}

StorePlane StorePlaneOf(const JpegState& state, int32_t i) {
  const uint64_t blocks = uint64_t(StoreGeometryOf(state.frame).Blocks(i));
  const PlaneLayout layout(blocks);
  uint16_t* pairs = state.coefficient_pairs[i];
  return {state.coefficient_planes[i], static_cast<int64_t>(blocks * 32), pairs,
          reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pairs) + layout.header_bytes -
                                      layout.bands * 4)};
}

int64_t StorePlane::Open(int64_t b) const {
  const int64_t p = b >> 1;
  uint32_t& opened = band_opened[p / kBandPairs];
  pairs[p] = static_cast<uint16_t>(pairs[p] | kPairOpen | opened << kSlotShift);
  ++opened;
  return LowerHalf(b);
}

void FreeCoefficientStore(JpegState& state) {
  for (int32_t i = 0; i < JPEG_MAX_COMPONENTS; ++i) {
    std::free(state.coefficient_pairs[i]);  // the start of the plane's allocation
    state.coefficient_planes[i] = nullptr;
    state.coefficient_pairs[i] = nullptr;
  }
}

void ResetCoefficientStore(JpegState& state) {
  FreeCoefficientStore(state);
  state.progressive_scan_count = 0;
  state.dc_final_count = 0;
  state.ac_final_count = 0;
}

int32_t AllocateCoefficientStore(JpegState& state) {
  const JpegFrameHeader& frame = state.frame;
  const StoreGeometry g = StoreGeometryOf(frame);
  if (g.blocks_per_mcu > kMaxBlocksPerMcu) return JPEG_ERR_SUBSAMPLING;
  for (int32_t i = 0; i < frame.component_count; ++i)
    if (frame.components[i].quant_slot > 3) return JPEG_ERR_DATA;  // dequantised at output
  if (CodedBlocks(GeometryOfFrame(frame)) > 8 * StreamLength(state.stream)) return JPEG_ERR_DATA;
  FreeCoefficientStore(state);
  for (int32_t i = 0; i < frame.component_count; ++i) {
    // Width and height are 16-bit and an MCU holds at most 10 blocks, so the count
    // stays far below 2^63.
    const uint64_t blocks = uint64_t(g.Blocks(i));
    if (blocks > (SIZE_MAX - kBlockAlignment) / 256) return JPEG_ERR_MEMORY;
    // One allocation per plane, the halves on whole cache lines, so that a scan of a band
    // in the upper rows (DC, 1-5, 1-8 and the like) reads and writes one line of each
    // block. (The system's aligned allocation leaves the heap fragmented, growing with
    // every image.)
    const PlaneLayout layout(blocks);
    auto* start = static_cast<uint8_t*>(
        std::calloc(layout.header_bytes + kBlockAlignment + layout.plane_bytes, 1));
    if (start == nullptr) {
      FreeCoefficientStore(state);
      return JPEG_ERR_MEMORY;
    }
    state.coefficient_pairs[i] = reinterpret_cast<uint16_t*>(start);
    const uintptr_t plane =
        (reinterpret_cast<uintptr_t>(start + layout.header_bytes) + kBlockAlignment - 1) &
        ~uintptr_t{kBlockAlignment - 1};
    state.coefficient_planes[i] = reinterpret_cast<int16_t*>(plane);
  }
  return JPEG_SUCCESS;
}

int32_t OutputCoefficientStore(JPEG_PROPERTIES& properties) {
  JpegState& state = properties.state;
  const StoreGeometry g = StoreGeometryOf(state.frame);
  StorePlane planes[JPEG_MAX_COMPONENTS];
  for (int32_t i = 0; i < state.frame.component_count; ++i) planes[i] = StorePlaneOf(state, i);
  McuSink sink;
  const JpegScanHeader scan = WholeFrameScan(state.frame);
  Status status = PrepareSink(state, scan, sink);
  const ScanGrid grid{g.mcus_across, g.mcus_down};
  // A region read writes the MCUs its region shows, the others not at all.
  const GridSpan span = sink.geometry.window.region ? SpanOfScan(sink.geometry, scan, grid)
                                                    : GridSpan{0, grid.across, 0, grid.down};
  for (int32_t y = span.first_row; y < span.end_row && status.ok(); ++y) {
    for (int32_t x = span.first_column; x < span.end_column && status.ok(); ++x) {
      GatherMcu(planes, state.frame.component_count, g, x, y, state.mcu_work_buffer);
      if (DeliversCoefficients(state))
        PutStoreMcu(state, g, x, y);
      else
        status = SinkMcu(properties, sink, x, y);
    }
  }
  FinishSink(properties, sink);
  state.routine_table->EndSimd();
  return status.code();
}

}  // namespace jpeg
