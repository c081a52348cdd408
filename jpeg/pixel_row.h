// Stores a row of 8 pixels held as words (the pixel's bytes in memory order, first
// byte lowest, the fourth byte zero for three-byte pixels): four-byte pixels as they
// are, three-byte ones as pairs, each pair's six bytes in one 64-bit store whose last
// two bytes the next store overwrites, so the row costs four wide stores instead of 24
// byte stores, and fewer shifts than packing it into three words. Each store goes out
// from its register: gathered in memory first, one 24-byte copy would load across
// fresh stores and stall on store forwarding every row.
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
    uint64_t pairs[4];
    for (int i = 0; i < 4; ++i) pairs[i] = words[2 * i] | uint64_t{words[2 * i + 1]} << 24;
    const uint64_t last = pairs[2] >> 32 | pairs[3] << 16;  // bytes 16..23: the row's end
    std::memcpy(out, &pairs[0], 8);
    std::memcpy(out + 6, &pairs[1], 8);
    std::memcpy(out + 12, &pairs[2], 8);
    std::memcpy(out + 16, &last, 8);
  }
}

}  // namespace jpeg
