// The byte arithmetic of scoring a tile's samples against a cell's: summed
// differences, with and without a colour gain, and the gained values
// themselves. Each gives the bits of its plain scalar form; on processors
// with AVX2 it works through twice the samples per instruction.
#pragma once

#include <cstdint>

namespace tesselor {

// Sum of |a[i] - b[i]|: the whole comparison when a channel's gain is 1.
int AbsoluteDifference(const uint8_t* a, const uint8_t* b, int count);

// Sum of |AdjustedValue(a[i], gain) - b[i]|.
int AdjustedDifference(const uint8_t* a, const uint8_t* b, int count, double gain);

// AdjustedValue of values[0] to values[7] into out[0] to out[7].
void AdjustEight(const uint8_t* values, double gain, uint8_t* out);

}  // namespace tesselor
