#include "imagelib/cmyk_conversion.h"

namespace tesselor {

namespace {

// a x b / 255, rounded to the nearest integer.
uint8_t ScaledProduct(int a, int b) {
  return static_cast<uint8_t>((a * b + 127) / 255);
}

}  // namespace

void InvertedCmykToBgr(const uint8_t* samples, uint8_t* pixels, int width) {
  // With inverted samples each channel is what its ink leaves of the light,
  // times what the black ink leaves: red = (255 - C)(255 - K) / 255 in ink
  // terms. Nothing is known of the printing profile, so no more is done.
  for (int x = 0; x < width; ++x, samples += 4, pixels += 4) {
    const int black = samples[3];
    pixels[0] = ScaledProduct(samples[2], black);
    pixels[1] = ScaledProduct(samples[1], black);
    pixels[2] = ScaledProduct(samples[0], black);
  }
}

}  // namespace tesselor
