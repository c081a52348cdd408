// Quantisation-table preparation: reorder to natural order (precise method), or
// reorder and prescale by the Arai-Agui-Nakajima factors (fast method), so that
// dequantisation is one multiply per coefficient.
#include "jpeg/quantization.h"

#include <cstring>

namespace jpeg {

// Zigzag order; entry i for natural position (r, k) is s(r)·s(k)/8.
const double kAanScale[64] = {
    0.125,
    0.17337998066526844,
    0.17337998066526844,
    0.16332037060954707,
    0.24048494156391087,
    0.16332037060954707,
    0.14698445030241986,
    0.22653186158822197,
    0.22653186158822197,
    0.14698445030241986,
    0.12500000000000003,
    0.2038732892122293,
    0.21338834764831846,
    0.2038732892122293,
    0.12500000000000003,
    0.098211869798387794,
    0.17337998066526847,
    0.1920444391778541,
    0.1920444391778541,
    0.17337998066526847,
    0.098211869798387794,
    0.06764951251827464,
    0.13622377669395469,
    0.1633203706095471,
    0.17283542904563626,
    0.1633203706095471,
    0.13622377669395469,
    0.06764951251827464,
    0.034487422410367889,
    0.093832569379466338,
    0.12831999178983422,
    0.14698445030241988,
    0.14698445030241988,
    0.12831999178983422,
    0.093832569379466338,
    0.034487422410367889,
    0.047835429045636244,
    0.08838834764831846,
    0.11548494156391088,
    0.12500000000000006,
    0.11548494156391088,
    0.08838834764831846,
    0.047835429045636244,
    0.045059988875434262,
    0.079547411285802144,
    0.098211869798387821,
    0.098211869798387821,
    0.079547411285802144,
    0.045059988875434262,
    0.040552918602682238,
    0.067649512518274654,
    0.077164570954363812,
    0.067649512518274654,
    0.040552918602682238,
    0.034487422410367896,
    0.053151880922953552,
    0.053151880922953552,
    0.034487422410367896,
    0.02709659391559242,
    0.036611652351681581,
    0.02709659391559242,
    0.018664458512585663,
    0.018664458512585663,
    0.0095150584360891629,
};

namespace {

// Writes natural[] over the table and clears the 16 entries behind it.
void StoreNatural(int16_t* table, const int16_t (&natural)[64]) {
  std::memcpy(table, natural, sizeof natural);
  std::memset(table + 64, 0, 16 * sizeof(int16_t));
}

}  // namespace

void PrepareQuantTablePrecise(int16_t* table) {
  int16_t natural[64];
  for (int i = 0; i < 64; ++i) natural[kNaturalOrder[i]] = table[i];
  StoreNatural(table, natural);
}

void PrepareQuantTableFast(int16_t* table) {
  int16_t natural[64];
  for (int i = 0; i < 64; ++i) {
    const double x = static_cast<double>(table[i]) * kAanScale[i] * 0.0625 * 32768.0 + 0.5;
    natural[kNaturalOrder[i]] = static_cast<int16_t>(static_cast<int32_t>(x));
  }
  StoreNatural(table, natural);
}

}  // namespace jpeg
