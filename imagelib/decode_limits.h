// How large a picture the decoders agree to make: a pixel budget the user can
// change, and the most pixels one byte of a file can stand for. Both are
// checked from the header, before storage for the pixels is set up, so a
// small file cannot make the program take gigabytes.
#pragma once

#include <cstdint>
#include <string>

namespace tesselor {

// One gigapixel (4 GB as 32-bit pixels) unless the variable names another
// whole number of pixels.
constexpr int64_t kDefaultPixelBudget = 1'000'000'000;
constexpr const char* kPixelBudgetVariable = "TESSELOR_MAX_PIXELS";

int64_t PixelBudget();

// Run-length and deflate data at their most compact, and JPEG files from any
// encoder in use, stay far below this many pixels per byte; a header claiming
// more (a 2 KB file of 30000 x 30000) has no data to back it.
constexpr int64_t kMostPixelsPerByte = int64_t{1} << 14;

// Raises code 2 naming the size when width x height is more than dataBytes x
// mostPixelsPerByte (0, or dataBytes below 0, leaves that bound out: drawings'
// pixels need not come from their data), or over the pixel budget.
void CheckDeclaredSize(int64_t width, int64_t height, int64_t dataBytes, int64_t mostPixelsPerByte,
                       const std::string& format);

}  // namespace tesselor
