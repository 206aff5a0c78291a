// libpng's error callbacks, for reading and writing alike. The error pointer
// given to libpng is the buffer that keeps its text; the jump lands in the
// setjmp of the layer function whose libpng call failed.
#pragma once

#include <png.h>

#include <cstddef>
#include <cstdio>

namespace tesselor {

inline constexpr size_t kPngMessageBytes = 256;

[[noreturn]] inline void PngKeepMessageAndJump(png_structp png, png_const_charp message) {
  std::snprintf(static_cast<char*>(png_get_error_ptr(png)), kPngMessageBytes, "%s", message);
  png_longjmp(png, 1);
}

// Warnings (an unknown chunk, a bad checksum libpng can pass over) change
// nothing in what is read or written.
inline void PngIgnoreWarning(png_structp, png_const_charp) {}

}  // namespace tesselor
