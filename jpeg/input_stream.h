// Byte-level input of the JPEG stream, from memory or from a file through a
// 4096-byte buffer: taking bytes, reading segment lengths and payloads, skipping
// segments and searching for markers. The stream position (origin + bytes_consumed)
// survives between reads, so a read can continue where the previous one stopped.
#pragma once

#include <cstdint>
#include <memory>

#include "jpeg/jpeg_codec.h"
#include "jpeg/status.h"

namespace jpeg {

// A segment payload: points into the input buffer, or into a copy it owns when the
// payload reached beyond the file buffer.
class SegmentBody {
 public:
  const uint8_t* data() const { return data_; }
  uint32_t size() const { return size_; }
  uint8_t operator[](uint32_t i) const { return data_[i]; }
  // Big-endian 16-bit value at offset i.
  uint16_t Word(uint32_t i) const { return static_cast<uint16_t>(data_[i] << 8 | data_[i + 1]); }

 private:
  friend int32_t ReadSegmentBody(JpegInputStream& stream, uint32_t n, SegmentBody& body);
  const uint8_t* data_ = nullptr;
  uint32_t size_ = 0;
  std::unique_ptr<uint8_t[]> copy_;
};

inline bool IsFileInput(const JpegInputStream& stream) {
  return stream.file_handle != nullptr;
}
// Memory input whose bytes are all taken: the bit reader now supplies zero bits.
inline bool MemoryInputRanDry(const JpegInputStream& stream) {
  return !IsFileInput(stream) && stream.bytes_left <= 0 && stream.pending_marker == 0;
}
// Absolute stream offset of the next byte.
inline uint32_t StreamPosition(const JpegInputStream& stream) {
  return stream.origin + stream.bytes_consumed;
}

// Bytes of the whole stream (memory size or file length); 0 when a file cannot tell.
uint64_t StreamLength(JpegInputStream& stream);
// Clears the bit reader state; for file input also empties the file buffer.
void ResetInputStream(JpegInputStream& stream);
[[nodiscard]] int32_t RefillFileBuffer(JpegInputStream& stream);
// Hands out the next n bytes (at most one buffer's worth).
[[nodiscard]] int32_t TakeBytes(JpegInputStream& stream, uint32_t n, const uint8_t** bytes);
[[nodiscard]] int32_t ReadSegmentBody(JpegInputStream& stream, uint32_t n, SegmentBody& body);
[[nodiscard]] int32_t ReadLength(JpegInputStream& stream, uint32_t* length);
[[nodiscard]] int32_t SkipSegment(JpegInputStream& stream);
// Advances to the code byte of the next marker, leaving it unread.
[[nodiscard]] int32_t FindMarker(JpegInputStream& stream);
// Reads the next marker: its code (0..255), or kEndOfStream when the data ends first, in
// `marker`. The marker and the
// status travel apart, so no code can be taken for the other.
[[nodiscard]] Status ReadMarker(JpegInputStream& stream, int32_t& marker);

// Memory input from the given offset of buffer (clamped to its end).
void AttachMemoryInput(JpegInputStream& stream, const uint8_t* buffer, uint32_t size,
                       uint32_t offset);
// Opens the file for reading at offset 0: JPEG_ERR_FILE_NAME when that fails.
[[nodiscard]] int32_t OpenFileInput(JpegInputStream& stream, const char* name);
// Closes an open file: JPEG_ERR_CLOSE_FILE when that fails.
[[nodiscard]] int32_t CloseFileInput(JpegInputStream& stream);
// Starts counting bytes_consumed afresh at the current position.
void RestartByteCount(JpegInputStream& stream);
// Moves to offset 0 of the stream (memory: its buffer; file: seek and refill).
[[nodiscard]] int32_t RewindInput(JpegInputStream& stream, const uint8_t* buffer, uint32_t size);
// Moves to an absolute stream offset met earlier in this read, with the bit reader
// state left to the caller (memory: clamped to the buffer; file: seek and refill).
[[nodiscard]] int32_t MoveInputTo(JpegInputStream& stream, uint32_t position);
// Steps back over n bytes already consumed (they lie in the stream before the
// current position); memory input moves next_byte back, file input does so too or
// seeks back when the bytes have left its buffer (JPEG_ERR_FILE when that fails).
[[nodiscard]] int32_t StepBack(JpegInputStream& stream, uint32_t n);
// File input: seeks the file to the stream position, so the bytes read ahead but not
// consumed are read again by the next read. JPEG_ERR_FILE when the seek fails.
[[nodiscard]] int32_t GiveBackUnreadBytes(JpegInputStream& stream);

}  // namespace jpeg
