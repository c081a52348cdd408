// Application data and comments: JFIF and JFXX (APP0) with their thumbnail
// dimensions (and, for a thumbnail read, the thumbnail itself), the Adobe marker (APP14) whose
// transform flag decides the colour space, and COM segments copied into the caller's comment
// buffer.
#include <cstring>

#include "jpeg/input_stream.h"
#include "jpeg/markers.h"
#include "jpeg/read_modes.h"
#include "jpeg/thumbnail.h"

namespace jpeg {
namespace {

constexpr uint32_t kJfifHeaderBytes = 14;
constexpr uint32_t kAdobeBytes = 12;

bool HasIdentifier(const SegmentBody& body, const char (&identifier)[5]) {
  return std::memcmp(body.data(), identifier, 5) == 0;  // four letters and a zero byte
}

void SetThumbnailSize(JpegState& state, uint32_t width, uint32_t height) {
  if (width == 0 || height == 0) return;
  state.thumb_width = width;
  state.thumb_height = height;
}

void InterpretJfif(JpegState& state, const SegmentBody& body) {
  state.jfif_present = 1;
  state.jfif_version = body.Word(5);
  state.jfif_units = body[7];
  state.jfif_x_density = body.Word(8);
  state.jfif_y_density = body.Word(10);
  SetThumbnailSize(state, body[12], body[13]);
}

// JFXX extension 0x13 (RGB thumbnail) gives its size; 0x10 (JPEG-coded) and others
// are ignored; 0x11 (palette) is only sized by a thumbnail read.
void InterpretJfxx(JpegState& state, const SegmentBody& body) {
  if (body[5] == 0x13) SetThumbnailSize(state, body[6], body[7]);
}

}  // namespace

// comment_size is the capacity on entry but the comment's length afterwards; a later
// read must not take that length for a capacity, so the capacity is latched whenever
// the caller sets the buffer or the size anew.
void LatchCommentCapacity(JpegState& state) {
  if (state.comment_buffer != state.comment_capacity_buffer ||
      state.comment_size != state.comment_reported) {
    state.comment_capacity = state.comment_size;
    state.comment_capacity_buffer = state.comment_buffer;
    state.comment_reported = state.comment_size;
  }
}

int32_t ParseApp0(JpegState& state) {
  uint32_t length = 0;
  int32_t status = ReadLength(state.stream, &length);
  if (status != JPEG_SUCCESS) return status;
  // Too short to identify: left to the marker search.
  if (length < 2 || length - 2 < kJfifHeaderBytes) return JPEG_SUCCESS;
  SegmentBody body;
  status = ReadSegmentBody(state.stream, length - 2, body);
  if (status != JPEG_SUCCESS) return JPEG_ERR_DATA;
  if (state.frame_needed != 1) return JPEG_SUCCESS;  // after the frame: not interpreted
  if (HasIdentifier(body, "JFIF"))
    InterpretJfif(state, body);
  else if (HasIdentifier(body, "JFXX"))
    InterpretJfxx(state, body);
  return IsThumbnailMode(state.io_mode) ? DeliverThumbnail(state, body) : JPEG_SUCCESS;
}

int32_t ParseApp14(JpegState& state) {
  uint32_t length = 0;
  int32_t status = ReadLength(state.stream, &length);
  if (status != JPEG_SUCCESS) return status;
  if (length < 2) return JPEG_ERR_DATA;
  if (length - 2 < kAdobeBytes) return JPEG_SUCCESS;  // left to the marker search
  SegmentBody body;
  status = ReadSegmentBody(state.stream, length - 2, body);
  if (status != JPEG_SUCCESS) return status;
  if (std::memcmp(body.data(), "Adobe", 5) != 0) return JPEG_SUCCESS;
  state.adobe_version = body.Word(5);
  state.adobe_flags0 = body.Word(7);
  state.adobe_flags1 = body.Word(9);
  state.adobe_transform = body[11];
  state.adobe_present = 1;
  return JPEG_SUCCESS;
}

int32_t ParseComment(JpegState& state) {
  uint32_t length = 0;
  int32_t status = ReadLength(state.stream, &length);
  if (status != JPEG_SUCCESS) return status;
  if (length < 2) return JPEG_ERR_DATA;
  SegmentBody body;
  if (ReadSegmentBody(state.stream, length - 2, body) != JPEG_SUCCESS) return JPEG_ERR_DATA;
  if (state.frame_needed != 1 || state.comment_buffer == nullptr) return JPEG_SUCCESS;
  const uint32_t capacity = state.comment_capacity;
  const bool fits = body.size() <= capacity;
  std::memcpy(state.comment_buffer, body.data(), fits ? body.size() : capacity);
  state.comment_size = static_cast<uint16_t>(body.size());
  state.comment_reported = state.comment_size;
  return fits ? JPEG_SUCCESS : JPEG_ERR_COMMENT_BUFFER;
}

}  // namespace jpeg
