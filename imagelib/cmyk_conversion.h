// Turns the four-component samples of CMYK and YCCK JPEG files into the
// blue, green, red of bitmap pixels, as other decoders show such files.
#pragma once

#include <cstdint>

namespace tesselor {

// samples holds width pixels of cyan, magenta, yellow, black as the library
// hands them out for Adobe files: inverted, so 255 means no ink. Writes the
// first three bytes of each 4-byte pixel, leaving the fourth as it was.
void InvertedCmykToBgr(const uint8_t* samples, uint8_t* pixels, int width);

}  // namespace tesselor
