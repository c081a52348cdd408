// Huffman decoding tables built from DHT data (T.81 Annex C): canonical codes per
// length for the slow path and an 8-bit lookahead table for codes up to 8 bits.
#pragma once

#include <cstdint>

#include "jpeg/jpeg_codec.h"

namespace jpeg {

// Builds a table from the 16 counts (BITS) and the symbols (HUFFVAL, as many as the
// counts add up to). More than 256 codes, or counts that do not fit their code
// lengths (over-subscribed), give JPEG_ERR_BAD_HUFFMAN and leave *table untouched.
[[nodiscard]] int32_t BuildHuffmanTable(const uint8_t* counts, const uint8_t* values,
                                        int32_t table_class, int32_t table_id,
                                        JpegHuffmanDecodeTable* table);

// Number of symbols the 16 counts announce.
int32_t HuffmanSymbolCount(const uint8_t* counts);

}  // namespace jpeg
