// Mosaic sizes asked for as a print: a width and height in centimetres or
// inches, at a number of dots per inch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tesselor::cli {

struct PrintSize {
  double widthInches = 0;
  double heightInches = 0;
};

// "90x60cm" or "35.4x23.6in" (x or X, positive sizes, the unit once at the
// end); nothing for anything else.
std::optional<PrintSize> ParsePrintSize(const std::string& text);

struct PixelSize {
  int64_t width = 0;
  int64_t height = 0;
};

// The print's size in pixels at dpi, each side rounded to the nearest pixel
// and at least 1.
PixelSize PixelsFor(const PrintSize& print, int dpi);

// The magnification whose mosaic side, source x magnification truncated as
// the build truncates it, is exactly wanted: wanted / source alone can fall
// a hair short (15 / 11 x 11 is below 15) and lose a pixel.
double MagnificationReaching(int64_t wanted, int source);

}  // namespace tesselor::cli
