// Huffman decoding tables built from DHT data (T.81 Annex C): canonical codes per
// length for the slow path and an 8-bit lookahead table for codes up to 8 bits; and
// the block decoders' lookup of a code together with its value bits, kept per record
// beside the slots it is built from.
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

// Bits the block decoders' lookups are indexed by.
inline constexpr int32_t kLookupBits = 10;
inline constexpr int32_t kPassBits = 13;

// A slot's table and, for every value of the next kLookupBits bits, what they begin
// with: bits 0-5 the bits a step takes (0: a code longer than kLookupBits), bit 7
// (kStepWhole) set where the code and its value bits (none for size 0) fit the index,
// bits 8-15 the symbol, bits 16-31 the extended value (T.81 F.2.2.1) when the code and
// its value bits fit the index, else 0 (a value is never 0 then). Codes up to 8 bits come from
// the lookahead and longer ones from the canonical walk from 9 bits on, as the symbol
// decoder reads them.
// For passing over AC values, the pass lookup gives, for the next kPassBits bits, the
// AC steps whose codes they hold whole, up to the first end of block, with the value
// bits of the last one even where they run past the index (passing over needs their
// number only): `bits` the bits the steps take (0: none, at most kLongestPass), and
// `moves` where the steps lead. Steps that do not end the block give the coefficient
// positions they advance by (1-63): where no more positions than that lie ahead, they
// leave the block short of its end, so one comparison admits them and a subtraction
// follows them. Steps whose last is an end of block give kPassEndsBlock with the
// positions they advance by (the end of block counts one) in bits 0-6, and no steps give
// kPassNone: both above any position count, so that the block's end is a test of its
// own. The bits taken have an array of their own, so that the step from one pass to the
// next is a load and a subtraction.
struct PassLookup {
  uint8_t bits[1 << kPassBits];
  uint8_t moves[1 << kPassBits];
};

// Only reads that pass over AC values build a slot's pass lookup, in memory of its own:
// without one, `passes` is a lookup whose every entry is kPassNone, and the step decoder
// takes every step.
struct HuffmanLookup {
  JpegHuffmanDecodeTable table;
  uint32_t steps[1 << kLookupBits];
  const PassLookup* passes;
};
inline constexpr uint32_t kStepWhole = 0x80;
inline constexpr uint32_t kPassEndsBlock = 0x80;
inline constexpr uint32_t kPassNone = 0xFF;
// The most bits a pass takes: three passes go to a full refill (56 bits at least).
inline constexpr int32_t kLongestPass = 18;

// Builds the lookup of `table` into `lookup`; its pass lookup into `passes` too when given
// and the table is an AC table.
void BuildHuffmanLookup(const JpegHuffmanDecodeTable& table, HuffmanLookup* lookup,
                        PassLookup* passes = nullptr);

// The lookup of a Huffman slot of the record (class 0 DC, 1 AC), rebuilt when the slot
// has changed since it was built, or when an AC slot's pass lookup is asked for and not
// built; none when its memory cannot be had.
const HuffmanLookup* HuffmanLookupOf(JpegState& state, int32_t table_class, int32_t id,
                                     bool with_passes = false);
// Frees the record's lookups.
void ReleaseHuffmanLookups(JpegState& state);

}  // namespace jpeg
