// The bitmap the fuzz targets decode into. It refuses pixel storage beyond a
// small budget the way the real bitmap refuses absurd sizes, by throwing
// std::bad_alloc, so every decoder's out-of-memory path is exercised on each
// input that claims a large picture, and a header claiming millions of pixels
// costs a refusal instead of seconds of filling rows: large pictures add time,
// not coverage. The real limits are checked by the unit tests.
#pragma once

#include <cstdint>
#include <new>

#include "imagelib/draw_dib_bmp.h"

namespace tesselor {

// One megapixel at 32 bits.
constexpr int64_t kFuzzBitmapBytes = int64_t{4} << 20;

class FuzzBitmap : public CDrawDibBmp {
 protected:
  void AllocateStorage(int width, int height, int bitsPerPixel, bool hasAlpha) override {
    if (width >= 0 && height >= 0 && LineLengthFor(width, bitsPerPixel) * height > kFuzzBitmapBytes)
      throw std::bad_alloc();
    CDrawDibBmp::AllocateStorage(width, height, bitsPerPixel, hasAlpha);
  }
};

}  // namespace tesselor
