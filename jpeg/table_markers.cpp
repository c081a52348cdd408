// Quantisation tables (DQT, T.81 B.2.4.1) and Huffman tables (DHT, B.2.4.2). A
// segment may hold several tables; all of them are checked, including that each
// table's values lie inside the payload and that its code counts fit their lengths,
// before the first one is installed.
#include <cstring>

#include "jpeg/huffman_table.h"
#include "jpeg/input_stream.h"
#include "jpeg/markers.h"
#include "jpeg/quantization.h"

namespace jpeg {
namespace {

constexpr uint32_t kMaxQuantPayload = 516;     // four 16-bit tables
constexpr uint32_t kMaxHuffmanPayload = 1091;  // larger payloads are refused

int32_t ReadTablePayload(JpegInputStream& stream, SegmentBody& body) {
  uint32_t length = 0;
  const int32_t status = ReadLength(stream, &length);
  if (status != JPEG_SUCCESS) return status;
  if (length < 2) return JPEG_ERR_DATA;
  return ReadSegmentBody(stream, length - 2, body);
}

uint32_t QuantTableBytes(int32_t pq) {
  return pq == 0 ? 64 : 128;
}

}  // namespace

int32_t CheckQuantPayload(const uint8_t* p, uint32_t size) {
  if (size > kMaxQuantPayload) return JPEG_ERR_DATA;
  uint32_t at = 0;
  while (at < size) {
    const int32_t pq = p[at] >> 4, tq = p[at] & 0x0F;
    if (tq > 3) return JPEG_ERR_BAD_QUANT;
    if (size - at < 1 + QuantTableBytes(pq)) return JPEG_ERR_DATA;
    at += 1 + QuantTableBytes(pq);
  }
  return JPEG_SUCCESS;
}

void InstallQuantTable(JpegState& state, int32_t pq, int32_t tq, const uint8_t* data,
                       int32_t dct_method) {
  JpegQuantTableSlot& slot = state.quant_tables[tq];
  state.max_quant_index = std::max(state.max_quant_index, tq + 1);
  slot.precision = pq;
  slot.id = tq;
  for (int i = 0; i < 64; ++i)
    slot.stream_values[i] =
        pq == 0 ? data[i] : static_cast<int16_t>(data[2 * i] << 8 | data[2 * i + 1]);
  if (state.quant_export[tq] != nullptr) {
    std::memcpy(state.quant_export[tq], data, QuantTableBytes(pq));
    state.quant_export_id[tq] = static_cast<uint8_t>(tq);
    state.quant_export_present[tq] = 1;
  }
  PrepareQuantTable(slot, dct_method);
  slot.defined = 1;
  if (state.quant_table_count < 4) ++state.quant_table_count;
}

void PrepareQuantTable(JpegQuantTableSlot& slot, int32_t dct_method) {
  std::memcpy(slot.values, slot.stream_values, sizeof slot.stream_values);
  if (dct_method == DCT_METHOD_PRECISE)
    PrepareQuantTablePrecise(slot.values);
  else
    PrepareQuantTableFast(slot.values);
  slot.prepared_for = dct_method;
}

int32_t ParseDefineQuantTables(JpegState& state, int32_t dct_method) {
  SegmentBody body;
  int32_t status = ReadTablePayload(state.stream, body);
  if (status != JPEG_SUCCESS) return status;
  status = CheckQuantPayload(body.data(), body.size());
  if (status != JPEG_SUCCESS) return status;
  for (uint32_t at = 0; at < body.size();) {
    const int32_t pq = body[at] >> 4, tq = body[at] & 0x0F;
    InstallQuantTable(state, pq, tq, body.data() + at + 1, dct_method);
    at += 1 + QuantTableBytes(pq);
  }
  return JPEG_SUCCESS;
}

int32_t CheckHuffmanPayload(const uint8_t* p, uint32_t size) {
  if (size > kMaxHuffmanPayload) return JPEG_ERR_DATA;
  uint32_t at = 0;
  while (at < size) {
    if (size - at < 17) return JPEG_ERR_DATA;
    const int32_t tc = p[at] >> 4, th = p[at] & 0x0F;
    if (tc > 1 || th > 3) return JPEG_ERR_BAD_HUFFMAN;
    const int32_t total = HuffmanSymbolCount(p + at + 1);
    if (total > 256) return JPEG_ERR_BAD_HUFFMAN;
    if (size - at - 17 < static_cast<uint32_t>(total)) return JPEG_ERR_DATA;
    JpegHuffmanDecodeTable trial;
    if (BuildHuffmanTable(p + at + 1, p + at + 17, tc, th, &trial) != JPEG_SUCCESS)
      return JPEG_ERR_BAD_HUFFMAN;
    at += 17 + static_cast<uint32_t>(total);
  }
  return JPEG_SUCCESS;
}

namespace {

void ExportHuffmanTable(JpegState& state, int32_t tc, int32_t th, const uint8_t* counts,
                        const uint8_t* values, int32_t total) {
  const int slot = tc * 4 + th;
  if (state.huff_counts_export[slot] == nullptr || state.huff_values_export[slot] == nullptr)
    return;
  std::memcpy(state.huff_counts_export[slot], counts, 16);
  std::memcpy(state.huff_values_export[slot], values, static_cast<size_t>(total));
  state.huff_export_class[slot] = static_cast<uint8_t>(tc);
  state.huff_export_id[slot] = static_cast<uint8_t>(th);
  state.huff_export_present[slot] = 1;
}

}  // namespace

int32_t ParseDefineHuffmanTables(JpegState& state) {
  SegmentBody body;
  int32_t status = ReadTablePayload(state.stream, body);
  if (status != JPEG_SUCCESS) return status;
  status = CheckHuffmanPayload(body.data(), body.size());
  if (status != JPEG_SUCCESS) return status;
  for (uint32_t at = 0; at < body.size();) {
    const uint8_t* counts = body.data() + at + 1;
    const int32_t tc = body[at] >> 4, th = body[at] & 0x0F, total = HuffmanSymbolCount(counts);
    state.max_huff_index = std::max(state.max_huff_index, th + 1);
    ExportHuffmanTable(state, tc, th, counts, counts + 16, total);
    JpegHuffmanDecodeTable& table = tc == 0 ? state.dc_tables[th] : state.ac_tables[th];
    (void)BuildHuffmanTable(counts, counts + 16, tc, th, &table);  // checked above
    int32_t& count = tc == 0 ? state.dc_table_count : state.ac_table_count;
    if (count < 4) ++count;
    at += 17 + static_cast<uint32_t>(total);
  }
  return JPEG_SUCCESS;
}

}  // namespace jpeg
