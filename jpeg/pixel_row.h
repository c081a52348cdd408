// Stores a row of 8 pixels held as words (the pixel's bytes in memory order, first
// byte lowest): four-byte pixels as they are, three-byte ones packed into three 64-bit
// words, so the row costs a few wide stores instead of 24 byte stores. Each packed
// word goes out from its register: gathered in memory first, one 24-byte copy would
// load across three fresh stores and stall on store forwarding every row.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace jpeg {

static_assert(std::endian::native == std::endian::little, "pixel words are stored little-endian");

template <int kChannels>
inline void StorePixelRow(const uint32_t* words, uint8_t* out) {
  static_assert(kChannels == 3 || kChannels == 4);
  if constexpr (kChannels == 4) {
    std::memcpy(out, words, 8 * sizeof *words);
  } else {
    const uint64_t first = words[0] | uint64_t{words[1]} << 24 | uint64_t{words[2]} << 48;
    const uint64_t second = words[2] >> 16 | uint64_t{words[3]} << 8 | uint64_t{words[4]} << 32 |
                            uint64_t{words[5]} << 56;
    const uint64_t third = words[5] >> 8 | uint64_t{words[6]} << 16 | uint64_t{words[7]} << 40;
    std::memcpy(out, &first, 8);
    std::memcpy(out + 8, &second, 8);
    std::memcpy(out + 16, &third, 8);
  }
}

}  // namespace jpeg
