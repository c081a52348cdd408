// The entry operations JpegInit, JpegRead and JpegFree. JpegRead validates the
// public fields, copies them into the state, positions the input, runs the decode
// driver and, only when the read succeeded, fixes the colour codes and copies the
// results back, so a failed read leaves the public output fields as they were. No
// exception leaves an entry point: each turns one into "Exception detected".
#include <cstdlib>
#include <cstring>
#include <new>

#include "jpeg/coefficient_store.h"
#include "jpeg/decode_driver.h"
#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/markers.h"
#include "jpeg/read_modes.h"
#include "jpeg/routine_table.h"
#include "jpeg/smooth_output.h"
#include "jpeg/subsampling.h"
#include "jpeg/validation.h"

namespace jpeg {
namespace {

template <typename Body>
int32_t Guarded(Body body) {
  try {
    return body();
  } catch (...) {
    return JPEG_ERR_EXCEPTION;
  }
}

void SetPublicDefaults(JPEG_PROPERTIES& p) {
  p.use_internal_properties = 0;
  p.dib_pixels = nullptr;
  p.dib_width = 0;
  p.dib_height = 0;
  p.dib_pad_bytes = 0;
  p.dib_channels = 3;
  p.dib_color = COLOR_BGR;
  p.dib_subsampling = 0;
  p.jpeg_file = nullptr;
  p.jpeg_buffer = nullptr;
  p.jpeg_buffer_size = 0;
  p.jpeg_width = 0;
  p.jpeg_height = 0;
  p.jpeg_channels = 3;
  p.jpeg_color = COLOR_YCBCR;
  p.jpeg_subsampling = 1;
  p.thumb_width = 0;
  p.thumb_height = 0;
  p.color_convert_flag = 1;
  p.upsample_flag = 1;
  p.quality = 75;
}

void CopyPublicToState(const JPEG_PROPERTIES& p, JpegState& s) {
  s.dib_pixels = p.dib_pixels;
  s.dib_width = p.dib_width;
  s.dib_height = p.dib_height;
  s.dib_pad_bytes = p.dib_pad_bytes;
  s.dib_channels = p.dib_channels;
  s.dib_color = p.dib_color;
  s.dib_subsampling = p.dib_subsampling;
  s.jpeg_file = p.jpeg_file;
  s.jpeg_buffer = p.jpeg_buffer;
  s.jpeg_buffer_size = p.jpeg_buffer_size;
  s.jpeg_width = p.jpeg_width;
  s.jpeg_height = p.jpeg_height;
  s.jpeg_channels = p.jpeg_channels;
  s.jpeg_color = p.jpeg_color;
  s.jpeg_subsampling = p.jpeg_subsampling;
  s.thumb_width = p.thumb_width;
  s.thumb_height = p.thumb_height;
  s.color_convert_flag = p.color_convert_flag;
  s.upsample_flag = p.upsample_flag;
  s.quality = p.quality;
}

// Output rows: image row y lies at output_start + y * row_stride.
void SetOutputRows(JpegState& s) {
  const int64_t stride = int64_t{s.dib_width} * s.dib_channels + s.dib_pad_bytes;
  s.row_stride = static_cast<int32_t>(stride);
  s.output_start = s.dib_pixels;
  if (s.dib_height < 0 && s.dib_pixels != nullptr) {
    s.output_start = s.dib_pixels + (int64_t{-s.dib_height} - 1) * stride;
    s.row_stride = static_cast<int32_t>(-stride);
  }
}

void InitialiseState(JpegState& s) {
  s.io_mode = -1;
  s.dct_method = DCT_METHOD_PRECISE;
  s.frame_needed = 1;
  s.jfif_version = 0x0101;
  s.jfif_x_density = 1;
  s.jfif_y_density = 1;
  s.adobe_version = 100;
}

// Image reads rebuild the tables a caller installed or an earlier read exported;
// other reads forget them.
int32_t RestoreKeptTables(JpegState& s) {
  for (int slot = 0; slot < 8; ++slot) {
    if (!s.huff_export_present[slot]) continue;
    if (!s.huff_counts_export[slot] || !s.huff_values_export[slot]) return JPEG_ERR_BAD_HUFFMAN;
    const int32_t tc = s.huff_export_class[slot], th = s.huff_export_id[slot];
    if (tc > 1 || th > 3) return JPEG_ERR_BAD_HUFFMAN;
    JpegHuffmanDecodeTable& table = tc == 0 ? s.dc_tables[th] : s.ac_tables[th];
    const int32_t status =
        BuildHuffmanTable(s.huff_counts_export[slot], s.huff_values_export[slot], tc, th, &table);
    if (status != JPEG_SUCCESS) return status;
  }
  for (int tq = 0; tq < 4; ++tq) {
    if (!s.quant_export_present[tq] || !s.quant_export[tq]) continue;
    uint8_t raw[128];
    const int32_t pq = s.quant_tables[tq].precision;
    std::memcpy(raw, s.quant_export[tq], pq == 0 ? 64 : 128);
    InstallQuantTable(s, pq, tq, raw, s.dct_method);
  }
  return JPEG_SUCCESS;
}

void ForgetKeptTables(JpegState& s) {
  std::memset(s.huff_export_present, 0, sizeof s.huff_export_present);
  std::memset(s.quant_export_present, 0, sizeof s.quant_export_present);
  s.quant_table_count = 0;
  s.dc_table_count = 0;
  s.ac_table_count = 0;
}

// Memory input continues where the previous read on the same buffer stopped when
// that read was a header read that left the position for a following read (on the
// SOS, on the SOF, or after a tables-only stream); parameter and thumbnail reads,
// which need the SOI, and every read after any other start at the beginning.
void AttachBufferInput(JpegState& s) {
  JpegInputStream& stream = s.stream;
  uint32_t offset = StreamPosition(stream);
  if (stream.position_buffer != s.jpeg_buffer || stream.position_size != s.jpeg_buffer_size ||
      offset >= s.jpeg_buffer_size || IsParamsMode(s.io_mode) || IsThumbnailMode(s.io_mode))
    offset = 0;
  AttachMemoryInput(stream, s.jpeg_buffer, s.jpeg_buffer_size, offset);
}

// The colour codes the markers imply, for parameter reads.
void FixColorCodes(JpegState& s) {
  const int32_t n = s.frame.component_count;
  if (s.adobe_present) {
    if (n == 1) s.jpeg_color = COLOR_GRAY;
    if (n == 3) s.jpeg_color = s.adobe_transform ? COLOR_YCBCR : COLOR_RGB;
    if (n == 4) {
      s.jpeg_color = s.adobe_transform ? COLOR_YCBCRA : COLOR_RGBA;
      s.dib_channels = 4;
      s.dib_color = COLOR_RGBA;
    }
  } else if (n == 1) {
    s.jpeg_color = COLOR_GRAY;
  } else if (n == 3 && s.jfif_present) {
    s.jpeg_color = COLOR_YCBCR;
  }
}

void CopyResultsBack(JPEG_PROPERTIES& p) {
  const JpegState& s = p.state;
  p.jpeg_width = s.jpeg_width;
  p.jpeg_height = s.jpeg_height;
  p.jpeg_channels = s.jpeg_channels;
  p.thumb_width = s.thumb_width;
  p.thumb_height = s.thumb_height;
  p.color_convert_flag = s.color_convert_flag;
  p.upsample_flag = s.upsample_flag;
  if (s.frame.component_count > 0) p.jpeg_subsampling = SubsamplingCode(s.frame);
  p.jpeg_color = s.jpeg_color;
  p.dib_color = s.dib_color;
  p.dib_channels = s.dib_channels;
}

bool GivesBackReadAhead(int32_t mode) {
  return mode == 0 || mode == 4 || mode == 6 || mode == 14 || mode == 16 || mode == 18 ||
         mode == 20;
}

// A read that returned after one MCU goes on when the next image read comes for the
// same input; any other read starts afresh.
bool ResumesRead(const JpegState& s, int32_t mode) {
  if (s.current_scan == nullptr || !IsImageMode(mode)) return false;
  if (IsFileMode(mode)) return IsFileInput(s.stream);
  return !IsFileInput(s.stream) && s.stream.buffer_start == s.jpeg_buffer &&
         s.stream.stream_size == s.jpeg_buffer_size;
}

// Steps 2 to 5: marks, tables, input source and the state's copy of the request. A read
// that resumes keeps its input where the previous call left it, and its region.
int32_t PrepareRead(JPEG_PROPERTIES& p, int32_t mode) {
  JpegState& s = p.state;
  if (IsHeaderMode(mode)) s.frame_needed = 1;
  LatchCommentCapacity(s);
  if (IsImageMode(mode)) {
    const int32_t status = RestoreKeptTables(s);
    if (status != JPEG_SUCCESS) return status;
  } else {
    ForgetKeptTables(s);
  }
  if (!p.use_internal_properties) {
    CopyPublicToState(p, s);
    SetOutputRows(s);
  }
  if (ResumesRead(s, mode)) {
    std::memcpy(s.roi_rect, s.read_region, sizeof s.roi_rect);
    return JPEG_SUCCESS;
  }
  s.current_scan = nullptr;
  std::memcpy(s.read_region, s.roi_rect, sizeof s.roi_rect);
  if (IsFileMode(mode)) {
    if (s.stream.file_handle == nullptr) return OpenFileInput(s.stream, s.jpeg_file);
    return JPEG_SUCCESS;
  }
  if (IsFileInput(s.stream)) (void)CloseFileInput(s.stream);
  AttachBufferInput(s);
  return JPEG_SUCCESS;
}

// Steps 7 to 9 after a successful decode; a read that will resume keeps its file open.
int32_t FinishRead(JPEG_PROPERTIES& p, int32_t mode, int32_t result) {
  JpegState& s = p.state;
  if (IsParamsMode(mode)) FixColorCodes(s);
  if (IsFileInput(s.stream) && GivesBackReadAhead(mode)) {
    if (GiveBackUnreadBytes(s.stream) != JPEG_SUCCESS) return JPEG_ERR_FILE;
  }
  CopyResultsBack(p);
  if (result == JPEG_INTERRUPT_SUCCESS) return JPEG_SUCCESS;
  if (mode == READ_IMAGE_FILE || mode == READ_TABLES_FILE || mode == READ_ENTROPY_FILE)
    return CloseFileInput(s.stream);
  return JPEG_SUCCESS;
}

int32_t ReadRecord(JPEG_PROPERTIES& p, int32_t mode) {
  JpegState& s = p.state;
  s.io_mode = mode;
  if (!IsReadMode(mode) && !IsEncoderMode(mode)) return JPEG_ERR_INVALID_PROPERTIES;
  if (!p.use_internal_properties) {
    const int32_t status = ValidateProperties(p);
    if (status != JPEG_SUCCESS) return status;
  }
  if (IsEncoderMode(mode)) return JPEG_ERR_NOT_SUPPORTED;
  // Refused rather than silently replaced by box upsampling.
  if (SmoothUpsamplingRefused(s, mode)) return JPEG_ERR_NOT_SUPPORTED;
  s.thumbnail_written = 0;
  int32_t result = PrepareRead(p, mode);
  if (result == JPEG_SUCCESS) result = DecodeStream(p);
  // A file without a thumbnail is no success with nothing written.
  if (result == JPEG_SUCCESS && IsThumbnailMode(mode) && !s.thumbnail_written)
    result = JPEG_ERR_NO_IMAGE;
  if (result >= JPEG_SUCCESS) {
    const int32_t finished = FinishRead(p, mode, result);
    if (finished != JPEG_SUCCESS) result = finished;
  }
  if (result == JPEG_INTERRUPT_SUCCESS) s.interrupt_flag = 0;  // the caller sets it per call
  s.routine_table->EndSimd();
  if (result < 0 && IsFileInput(s.stream)) (void)CloseFileInput(s.stream);
  if (result < 0 || !IsHeaderMode(mode)) s.stream.position_buffer = nullptr;
  return result;
}

void ReleaseReadResources(JpegState& s) {
  jpeg::FreeCoefficientStore(s);
  std::free(s.restart_index);
  s.restart_index = nullptr;
  std::free(s.delay_buffers);
  s.delay_buffers = nullptr;
  s.current_scan = nullptr;
  ForgetKeptTables(s);
}

}  // namespace
}  // namespace jpeg

using namespace jpeg;

extern "C" int32_t JpegInit(JPEG_PROPERTIES* properties) {
  if (properties == nullptr) return JPEG_ERR_INVALID_PROPERTIES;
  return Guarded([&] {
    auto* table = new (std::nothrow) RoutineTable();
    if (table == nullptr) return static_cast<int32_t>(JPEG_ERR_MEMORY);
    SetUpRoutineTable(table);
    (void)ClassifyProcessor(table);
    JPEG_PROPERTIES& p = *properties;
    std::memset(&p.state, 0, sizeof p.state);
    SetPublicDefaults(p);
    InitialiseState(p.state);
    CopyPublicToState(p, p.state);
    p.state.routine_table = table;
    return static_cast<int32_t>(JPEG_SUCCESS);
  });
}

extern "C" int32_t JpegRead(JPEG_PROPERTIES* properties, int32_t mode) {
  if (properties == nullptr || properties->state.routine_table == nullptr)
    return JPEG_ERR_INVALID_PROPERTIES;
  return Guarded([&] { return ReadRecord(*properties, mode); });
}

extern "C" int32_t JpegFree(JPEG_PROPERTIES* properties) {
  if (properties == nullptr) return JPEG_ERR_INVALID_PROPERTIES;
  return Guarded([&] {
    JpegState& s = properties->state;
    int32_t result = JPEG_SUCCESS;
    if (IsFileInput(s.stream)) result = CloseFileInput(s.stream);
    ReleaseReadResources(s);
    ReleaseHuffmanLookups(s);
    ReleaseRoutineTable(s.routine_table);
    delete s.routine_table;
    s.routine_table = nullptr;
    return result;
  });
}
