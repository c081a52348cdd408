// Building a Huffman decoding table (T.81 C.1, C.2 and F.2.2.3). The table is built
// in a local copy and installed only when the counts are sound, so a bad DHT never
// leaves a half-written slot behind.
#include "jpeg/huffman_table.h"

#include <cstring>

namespace jpeg {

int32_t HuffmanSymbolCount(const uint8_t* counts) {
  int32_t total = 0;
  for (int l = 0; l < 16; ++l) total += counts[l];
  return total;
}

namespace {

// Canonical codes per length (Figure C.2) into mincode/maxcode/valptr; false when
// the counts ask for more codes of a length than it has (over-subscribed).
bool AssignCodes(const uint8_t* counts, JpegHuffmanDecodeTable& table) {
  uint32_t code = 0;
  int32_t index = 0;
  for (int l = 1; l <= 16; ++l) {
    const int n = counts[l - 1];
    if (n == 0) {
      table.maxcode[l] = -1;
    } else {
      table.valptr[l] = static_cast<uint16_t>(index);
      table.mincode[l] = static_cast<uint16_t>(code);
      code += n;
      index += n;
      if (code > (1u << l)) return false;
      table.maxcode[l] = static_cast<int32_t>(code - 1);
    }
    code <<= 1;
  }
  table.maxcode[17] = -1;
  return true;
}

void FillLookahead(const uint8_t* counts, JpegHuffmanDecodeTable& table) {
  for (int l = 1; l <= 8; ++l) {
    for (int i = 0; i < counts[l - 1]; ++i) {
      const uint32_t code = table.mincode[l] + i;
      const uint16_t symbol = table.values[table.valptr[l] + i];
      const uint32_t first = code << (8 - l);
      for (uint32_t e = 0; e < (1u << (8 - l)); ++e) {
        table.lookahead[first + e].symbol = symbol;
        table.lookahead[first + e].length = static_cast<uint16_t>(l);
      }
    }
  }
}

}  // namespace

int32_t BuildHuffmanTable(const uint8_t* counts, const uint8_t* values, int32_t table_class,
                          int32_t table_id, JpegHuffmanDecodeTable* table) {
  const int32_t total = HuffmanSymbolCount(counts);
  if (total > 256) return JPEG_ERR_BAD_HUFFMAN;
  JpegHuffmanDecodeTable built;
  std::memset(&built, 0, sizeof built);
  built.table_class = table_class;
  built.table_id = table_id;
  if (!AssignCodes(counts, built)) return JPEG_ERR_BAD_HUFFMAN;
  for (int32_t i = 0; i < total; ++i) built.values[i] = values[i];
  FillLookahead(counts, built);
  built.defined = 1;
  std::memcpy(table, &built, sizeof built);
  return JPEG_SUCCESS;
}

}  // namespace jpeg
