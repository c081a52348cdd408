// Byte-level stream input. Memory input reads the caller's buffer in place and never
// beyond jpeg_buffer_size; file input reads through the state's 4096-byte buffer, and
// RefillFileBuffer is the only reader of the file. Every take is bounded by
// bytes_left, which never exceeds what the buffer holds.
#include "jpeg/input_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "jpeg/markers.h"

namespace jpeg {
namespace {

FILE* File(const JpegInputStream& stream) {
  return static_cast<FILE*>(stream.file_handle);
}

void EmptyFileBuffer(JpegInputStream& stream) {
  stream.buffer_start = stream.file_buffer;
  stream.next_byte = stream.file_buffer;
  stream.buffer_end = stream.file_buffer;
  stream.bytes_left = 0;
}

void Advance(JpegInputStream& stream, uint32_t n) {
  stream.next_byte += n;
  stream.bytes_left -= static_cast<int32_t>(n);
  stream.bytes_consumed += n;
}

// Makes at least one byte available: memory input that ran dry gives dry_error, file
// input refills (end of file: "File error").
int32_t EnsureByte(JpegInputStream& stream, int32_t dry_error) {
  if (stream.bytes_left > 0) return JPEG_SUCCESS;
  if (!IsFileInput(stream)) return dry_error;
  return RefillFileBuffer(stream);
}

int32_t SeekFile(JpegInputStream& stream, uint32_t offset) {
  if (std::fseek(File(stream), static_cast<long>(offset), SEEK_SET) != 0) return JPEG_ERR_FILE;
  EmptyFileBuffer(stream);
  return JPEG_SUCCESS;
}

// Reading a FIFO or a device would wait for a writer or never end, so only regular
// files are opened. The size, taken once, bounds every later read of the file: a file
// that grows while it is read adds nothing.
FILE* OpenRegularFile(const char* name, uint64_t& size) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(name, error)) return nullptr;
  FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return nullptr;
  const bool sized = std::fseek(file, 0, SEEK_END) == 0;
  const long end = sized ? std::ftell(file) : -1;
  if (end < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return nullptr;
  }
  size = static_cast<uint64_t>(end);
  return file;
}

}  // namespace

void ResetInputStream(JpegInputStream& stream) {
  stream.bit_buffer = 0;
  stream.bit_count = 0;
  stream.pending_marker = 0;
  stream.scan_components_done = 0;
  stream.components_decoded = 0;
  if (IsFileInput(stream)) {
    // Bytes read ahead belong to the file again before the buffer is dropped.
    if (stream.bytes_left > 0) (void)GiveBackUnreadBytes(stream);
    EmptyFileBuffer(stream);
  }
}

int32_t RefillFileBuffer(JpegInputStream& stream) {
  FILE* file = File(stream);
  if (file == nullptr) return JPEG_ERR_FILE;
  const long position = std::ftell(file);
  if (position < 0) return JPEG_ERR_FILE;
  const uint64_t end = stream.file_size;
  const uint64_t remaining = end - std::min(static_cast<uint64_t>(position), end);
  const size_t want = static_cast<size_t>(std::min<uint64_t>(JPEG_FILE_BUFFER_SIZE, remaining));
  const size_t got = want == 0 ? 0 : std::fread(stream.file_buffer, 1, want, file);
  stream.buffer_start = stream.file_buffer;
  stream.next_byte = stream.file_buffer;
  stream.buffer_end = stream.file_buffer + got;
  stream.bytes_left = static_cast<int32_t>(got);
  return got == 0 ? JPEG_ERR_FILE : JPEG_SUCCESS;
}

int32_t TakeBytes(JpegInputStream& stream, uint32_t n, const uint8_t** bytes) {
  if (static_cast<uint32_t>(stream.bytes_left) < n) {
    if (!IsFileInput(stream)) return JPEG_ERR_MEMORY;
    // Refilling drops the unread rest, so it is done only on an empty buffer.
    if (stream.bytes_left > 0) return JPEG_ERR_INTERNAL;
    const int32_t status = RefillFileBuffer(stream);
    if (status != JPEG_SUCCESS) return status;
    if (static_cast<uint32_t>(stream.bytes_left) < n) return JPEG_ERR_INTERNAL;
  }
  *bytes = stream.next_byte;
  Advance(stream, n);
  return JPEG_SUCCESS;
}

int32_t ReadSegmentBody(JpegInputStream& stream, uint32_t n, SegmentBody& body) {
  body.copy_.reset();
  body.size_ = n;
  if (static_cast<uint32_t>(stream.bytes_left) >= n) {
    body.data_ = stream.next_byte;
    Advance(stream, n);
    return JPEG_SUCCESS;
  }
  if (!IsFileInput(stream)) return JPEG_ERR_DATA;
  body.copy_.reset(new (std::nothrow) uint8_t[n]);
  if (!body.copy_) return JPEG_ERR_MEMORY;
  uint32_t done = static_cast<uint32_t>(stream.bytes_left);
  std::memcpy(body.copy_.get(), stream.next_byte, done);
  Advance(stream, done);
  while (done < n) {
    const uint8_t* piece = nullptr;
    if (RefillFileBuffer(stream) != JPEG_SUCCESS) break;
    const uint32_t size = std::min(n - done, static_cast<uint32_t>(stream.bytes_left));
    if (TakeBytes(stream, size, &piece) != JPEG_SUCCESS) break;
    std::memcpy(body.copy_.get() + done, piece, size);
    done += size;
  }
  if (done < n) {
    body.copy_.reset();
    return JPEG_ERR_DATA;
  }
  body.data_ = body.copy_.get();
  return JPEG_SUCCESS;
}

int32_t ReadLength(JpegInputStream& stream, uint32_t* length) {
  SegmentBody body;
  const int32_t status = ReadSegmentBody(stream, 2, body);
  if (status != JPEG_SUCCESS) return status;
  *length = body.Word(0);
  return JPEG_SUCCESS;
}

int32_t SkipSegment(JpegInputStream& stream) {
  uint32_t length = 0;
  const int32_t status = ReadLength(stream, &length);
  if (status != JPEG_SUCCESS) return status;
  if (length < 2) return JPEG_ERR_DATA;
  uint32_t remaining = length - 2;
  while (remaining > 0) {
    if (stream.bytes_left == 0 && EnsureByte(stream, JPEG_ERR_DATA) != JPEG_SUCCESS)
      return JPEG_ERR_DATA;
    const uint32_t piece = std::min(remaining, static_cast<uint32_t>(stream.bytes_left));
    Advance(stream, piece);
    remaining -= piece;
  }
  return JPEG_SUCCESS;
}

int32_t FindMarker(JpegInputStream& stream) {
  for (;;) {
    // Step 1: skip to a 0xFF byte, a buffer at a time (entropy-coded data is skipped
    // this way when a region read looks for restart markers).
    for (;;) {
      const int32_t status = EnsureByte(stream, JPEG_ERR_MEMORY);
      if (status != JPEG_SUCCESS) return status;
      const auto left = static_cast<uint32_t>(stream.bytes_left);
      const auto* ff = static_cast<const uint8_t*>(std::memchr(stream.next_byte, 0xFF, left));
      Advance(stream, ff != nullptr ? static_cast<uint32_t>(ff - stream.next_byte) + 1 : left);
      if (ff != nullptr) break;
    }
    // Step 2: fill bytes are skipped, a stuffed zero resumes the search.
    for (;;) {
      const int32_t status = EnsureByte(stream, JPEG_ERR_MEMORY);
      if (status != JPEG_SUCCESS) return status;
      const uint8_t code = *stream.next_byte;
      if (code != 0xFF && code != 0x00) return JPEG_SUCCESS;
      Advance(stream, 1);
      if (code == 0x00) break;
    }
  }
}

uint64_t StreamLength(JpegInputStream& stream) {
  if (!IsFileInput(stream)) return stream.stream_size;
  FILE* file = File(stream);
  const long at = std::ftell(file);
  if (at < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
  const long end = std::ftell(file);
  if (std::fseek(file, at, SEEK_SET) != 0 || end < 0) return 0;
  return static_cast<uint64_t>(end);
}

Status ReadMarker(JpegInputStream& stream, int32_t& marker) {
  if (stream.pending_marker != 0) {
    marker = stream.pending_marker;
    stream.pending_marker = 0;
    return JPEG_SUCCESS;
  }
  const int32_t status = FindMarker(stream);
  if (status != JPEG_SUCCESS) return status;
  const uint8_t* code = nullptr;
  marker = TakeBytes(stream, 1, &code) == JPEG_SUCCESS ? int32_t{*code} : int32_t{kEndOfStream};
  return JPEG_SUCCESS;
}

void AttachMemoryInput(JpegInputStream& stream, const uint8_t* buffer, uint32_t size,
                       uint32_t offset) {
  if (offset > size) offset = size;
  stream.file_handle = nullptr;
  stream.buffer_start = buffer;
  stream.buffer_end = buffer + size;
  stream.next_byte = buffer + offset;
  stream.stream_size = size;
  stream.bytes_left = static_cast<int32_t>(size - offset);
  stream.origin = offset;
  stream.bytes_consumed = 0;
  stream.position_buffer = buffer;
  stream.position_size = size;
}

int32_t OpenFileInput(JpegInputStream& stream, const char* name) {
  uint64_t size = 0;
  FILE* file = OpenRegularFile(name, size);
  if (file == nullptr) return JPEG_ERR_FILE_NAME;
  stream.file_handle = file;
  stream.file_size = size;
  stream.origin = 0;
  stream.bytes_consumed = 0;
  stream.position_buffer = nullptr;
  EmptyFileBuffer(stream);
  return JPEG_SUCCESS;
}

int32_t CloseFileInput(JpegInputStream& stream) {
  FILE* file = File(stream);
  stream.file_handle = nullptr;
  EmptyFileBuffer(stream);
  stream.origin = 0;
  stream.bytes_consumed = 0;
  return file != nullptr && std::fclose(file) != 0 ? JPEG_ERR_CLOSE_FILE : JPEG_SUCCESS;
}

void RestartByteCount(JpegInputStream& stream) {
  stream.origin += stream.bytes_consumed;
  stream.bytes_consumed = 0;
}

int32_t RewindInput(JpegInputStream& stream, const uint8_t* buffer, uint32_t size) {
  stream.bit_buffer = 0;
  stream.bit_count = 0;
  stream.pending_marker = 0;
  if (!IsFileInput(stream)) {
    AttachMemoryInput(stream, buffer, size, 0);
    return JPEG_SUCCESS;
  }
  stream.origin = 0;
  stream.bytes_consumed = 0;
  const int32_t status = SeekFile(stream, 0);
  return status != JPEG_SUCCESS ? status : RefillFileBuffer(stream);
}

int32_t MoveInputTo(JpegInputStream& stream, uint32_t position) {
  if (position < stream.origin) stream.origin = position;
  stream.bytes_consumed = position - stream.origin;
  if (IsFileInput(stream)) {
    const int32_t status = SeekFile(stream, position);
    return status != JPEG_SUCCESS ? status : RefillFileBuffer(stream);
  }
  position = std::min(position, stream.stream_size);
  stream.next_byte = stream.buffer_start + position;
  stream.bytes_left = static_cast<int32_t>(stream.stream_size - position);
  return JPEG_SUCCESS;
}

int32_t StepBack(JpegInputStream& stream, uint32_t n) {
  if (n > stream.bytes_consumed) n = stream.bytes_consumed;
  stream.bytes_consumed -= n;
  if (static_cast<uint32_t>(stream.next_byte - stream.buffer_start) >= n) {
    stream.next_byte -= n;
    stream.bytes_left += static_cast<int32_t>(n);
    return JPEG_SUCCESS;
  }
  return SeekFile(stream, StreamPosition(stream));
}

int32_t GiveBackUnreadBytes(JpegInputStream& stream) {
  if (!IsFileInput(stream)) return JPEG_SUCCESS;
  return SeekFile(stream, StreamPosition(stream));
}

}  // namespace jpeg
