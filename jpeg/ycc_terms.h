// The colour correction terms of the YCbCr converters, rewritten exactly so that every
// intermediate fits 16 bits and compilers can use 16-bit vector lanes. With 359 = 256 + 103,
// 454 = 256 + 198 and 183 = 256 − 73, (359·Cr − 45813) >> 8 = Cr − 179 + ((103·Cr + 11) >> 8)
// and likewise for the others (the multiple of 256 moves out of the floor unchanged). The
// partial products of the red and blue terms are unsigned (up to 50665). Samples are 0..255.
#pragma once

#include <cstdint>

namespace jpeg {

// (359·Cr − 45813) >> 8: R = Y + RedTerm on both the dedicated and the in-place paths.
inline int16_t RedTerm(int16_t cr) {
  const auto product = static_cast<uint16_t>(static_cast<uint16_t>(cr) * uint16_t{103} + 11u);
  return static_cast<int16_t>(cr - 179 + (product >> 8));
}
// (88·Cb + 183·Cr − 34806) >> 8: the dedicated paths' G = Y − GreenTerm.
inline int16_t GreenTerm(int16_t cb, int16_t cr) {
  const auto product = static_cast<int16_t>(static_cast<int16_t>(cb * int16_t{88}) -
                                            static_cast<int16_t>(cr * int16_t{73}) + 10);
  return static_cast<int16_t>(cr - 136 + (product >> 8));
}
// (34806 − 88·Cb − 183·Cr) >> 8: the in-place path's G = Y + InPlaceGreenTerm, which floors
// the negated sum where the dedicated paths negate the floor.
inline int16_t InPlaceGreenTerm(int16_t cb, int16_t cr) {
  const auto product = static_cast<int16_t>(static_cast<int16_t>(cr * int16_t{73}) -
                                            static_cast<int16_t>(cb * int16_t{88}) - 10);
  return static_cast<int16_t>(136 - cr + (product >> 8));
}
// (454·Cb − 57937) >> 8: B = Y + BlueTerm on both paths.
inline int16_t BlueTerm(int16_t cb) {
  const auto product = static_cast<uint16_t>(static_cast<uint16_t>(cb) * uint16_t{198} + 175u);
  return static_cast<int16_t>(cb - 227 + (product >> 8));
}

}  // namespace jpeg
