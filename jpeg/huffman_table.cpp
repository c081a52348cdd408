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

// Every entry "no steps": a zero entry would advance by nothing, so a lookup without
// passes sends every step to the step decoder at once instead.
constexpr PassLookup NoPasses() {
  PassLookup none{};
  for (uint8_t& moves : none.moves) moves = kPassNone;
  return none;
}
constexpr PassLookup kNoPasses = NoPasses();

// The record's lookups, one per slot: DC 0-3, then AC 0-3; and the pass lookups of the AC
// slots, allocated when a read first passes over values, so that reads which never do
// carry none of their memory.
struct HuffmanLookups {
  HuffmanLookup slot[8];
  PassLookup* passes[4];
};

// The memory of AC slot `id`'s pass lookup; none when it cannot be had.
PassLookup* PassMemory(HuffmanLookups& lookups, int32_t id) {
  PassLookup*& memory = lookups.passes[id];
  if (memory == nullptr) memory = static_cast<PassLookup*>(std::malloc(sizeof(PassLookup)));
  return memory;
}

}  // namespace

void BuildHuffmanLookup(const JpegHuffmanDecodeTable& table, HuffmanLookup* lookup,
                        PassLookup* passes) {
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
  lookup->passes = &kNoPasses;
  if (passes == nullptr || table.table_class != 1) return;
  for (uint32_t bits = 0; bits < (1u << kPassBits); ++bits)
    passes->moves[bits] = PassesIn(table, bits, &passes->bits[bits]);
  lookup->passes = passes;
}

const HuffmanLookup* HuffmanLookupOf(JpegState& state, int32_t table_class, int32_t id,
                                     bool with_passes) {
  if (state.huffman_lookups == nullptr) {
    // Zero slots and zero lookups agree: every code is longer than the index.
    auto* lookups = static_cast<HuffmanLookups*>(std::calloc(1, sizeof(HuffmanLookups)));
    if (lookups == nullptr) return nullptr;
    for (HuffmanLookup& lookup : lookups->slot) lookup.passes = &kNoPasses;
    state.huffman_lookups = lookups;
  }
  auto& lookups = *static_cast<HuffmanLookups*>(state.huffman_lookups);
  const JpegHuffmanDecodeTable& slot = (table_class == 0 ? state.dc_tables : state.ac_tables)[id];
  HuffmanLookup& lookup = lookups.slot[4 * table_class + id];
  // A slot that had its pass lookup keeps one through a rebuild.
  const bool passes = table_class == 1 && (with_passes || lookup.passes != &kNoPasses);
  if (std::memcmp(&lookup.table, &slot, sizeof slot) != 0 ||
      (passes && lookup.passes == &kNoPasses)) {
    PassLookup* memory = passes ? PassMemory(lookups, id) : nullptr;
    if (passes && memory == nullptr) return nullptr;
    BuildHuffmanLookup(slot, &lookup, memory);
  }
  return &lookup;
}

void ReleaseHuffmanLookups(JpegState& state) {
  auto* lookups = static_cast<HuffmanLookups*>(state.huffman_lookups);
  if (lookups != nullptr)
    for (PassLookup* memory : lookups->passes) std::free(memory);
  std::free(lookups);
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
