// Building a Huffman decoding table (T.81 C.1, C.2 and F.2.2.3). The table is built
// in a local copy and installed only when the counts are sound, so a bad DHT never
// leaves a half-written slot behind.
#include "jpeg/huffman_table.h"

#include <cstdlib>
#include <cstring>

#include "jpeg/block_reader.h"

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

namespace {

// The code at the top of `bits` (`width` of them, 8 or more) as the symbol decoder reads it:
// its length and symbol, length 0 when it is longer than the index.
JpegHuffmanLookahead CodeAt(const JpegHuffmanDecodeTable& t, uint32_t bits, int32_t width) {
  const JpegHuffmanLookahead entry = t.lookahead[bits >> (width - 8)];
  if (entry.length != 0) return entry;
  for (int32_t l = 9; l <= width; ++l) {
    const auto code = static_cast<int32_t>(bits >> (width - l));
    if (code <= t.maxcode[l])
      return {t.values[(t.valptr[l] + code - t.mincode[l]) & 0xFF], static_cast<uint16_t>(l)};
  }
  return {0, 0};
}

// The AC steps whose codes are whole within `bits`, as the pass lookup holds them:
// their bits in *taken, their moves returned. Steps stop before one that would advance
// past coefficient 63, where the block ends.
uint8_t PassesIn(const JpegHuffmanDecodeTable& t, uint32_t bits, uint8_t* taken) {
  constexpr uint32_t kMask = (1u << kPassBits) - 1;
  int32_t length = 0, advance = 0;
  uint32_t ends = 0;
  while (length < kPassBits && ends == 0) {
    const JpegHuffmanLookahead code = CodeAt(t, (bits << length) & kMask, kPassBits);
    if (code.length == 0 || code.length > kPassBits - length) break;  // not whole in the index
    if (length + code.length + (code.symbol & 0x0F) > kLongestPass) break;
    const int32_t run = code.symbol >> 4 & 0x0F, size = code.symbol & 0x0F;
    const uint32_t end = size == 0 && run != 15 ? kPassEndsBlock : 0;
    const int32_t next = advance + (end != 0 ? 1 : size == 0 ? 16 : run + 1);
    if (next > 63) break;
    length += code.length + size;
    advance = next;
    ends = end;
  }
  *taken = static_cast<uint8_t>(length);
  if (ends != 0) return static_cast<uint8_t>(static_cast<uint32_t>(advance) | ends);
  return static_cast<uint8_t>(length == 0 ? kPassNone : advance);
}

// The record's lookups, one per slot: DC 0-3, then AC 0-3.
struct HuffmanLookups {
  HuffmanLookup slot[8];
};

}  // namespace

void BuildHuffmanLookup(const JpegHuffmanDecodeTable& table, HuffmanLookup* lookup,
                        bool with_passes) {
  std::memcpy(&lookup->table, &table, sizeof table);
  for (uint32_t bits = 0; bits < (1u << kLookupBits); ++bits) {
    const JpegHuffmanLookahead code = CodeAt(table, bits, kLookupBits);
    const int32_t size = code.symbol & 0x0F, length = code.length + size;
    uint32_t step = uint32_t{code.length} | uint32_t{code.symbol & 0xFFu} << 8;
    if (code.length != 0 && size != 0 && length <= kLookupBits) {
      const uint32_t v = (bits >> (kLookupBits - length)) & kValueMask[size];
      step = static_cast<uint32_t>(length) | uint32_t{code.symbol & 0xFFu} << 8 |
             static_cast<uint32_t>(Extend(v, size)) << 16;
    }
    if (code.length != 0 && length <= kLookupBits) step |= kStepWhole;
    lookup->steps[bits] = step;
  }
  // Only AC values are passed over, and only reduced and region reads pass over them:
  // whole reads are spared the pass lookup's build.
  lookup->has_passes = with_passes && table.table_class == 1;
  if (!lookup->has_passes) {
    // A zero entry would advance by nothing: the step decoder takes over at once instead.
    std::memset(lookup->pass_bits, 0, sizeof lookup->pass_bits);
    std::memset(lookup->pass_moves, kPassNone, sizeof lookup->pass_moves);
    return;
  }
  for (uint32_t bits = 0; bits < (1u << kPassBits); ++bits)
    lookup->pass_moves[bits] = PassesIn(table, bits, &lookup->pass_bits[bits]);
}

const HuffmanLookup* HuffmanLookupOf(JpegState& state, int32_t table_class, int32_t id,
                                     bool with_passes) {
  if (state.huffman_lookups == nullptr) {
    // Zero slots and zero lookups agree: every code is longer than the index.
    state.huffman_lookups = std::calloc(1, sizeof(HuffmanLookups));
    if (state.huffman_lookups == nullptr) return nullptr;
  }
  const JpegHuffmanDecodeTable& slot = (table_class == 0 ? state.dc_tables : state.ac_tables)[id];
  HuffmanLookup& lookup =
      static_cast<HuffmanLookups*>(state.huffman_lookups)->slot[4 * table_class + id];
  const bool passes = with_passes && table_class == 1;
  if (std::memcmp(&lookup.table, &slot, sizeof slot) != 0 || (passes && !lookup.has_passes))
    BuildHuffmanLookup(slot, &lookup, passes || lookup.has_passes);
  return &lookup;
}

void ReleaseHuffmanLookups(JpegState& state) {
  std::free(state.huffman_lookups);
  state.huffman_lookups = nullptr;
}

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
