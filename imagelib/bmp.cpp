#include "imagelib/bmp.h"

#include <cstring>

namespace tesselor {

bool WithinBitmapSides(double width, double height) {
  return width >= 0 && height >= 0 && width < kMaxBitmapDimension + 1.0 &&
         height < kMaxBitmapDimension + 1.0;
}

bool WithinBitmapLimits(double width, double height, int bitsPerPixel) {
  return WithinBitmapSides(width, height) &&
         CBmp::LineLengthFor(static_cast<int>(width), bitsPerPixel) * static_cast<int>(height) <=
             kMaxBitmapBytes;
}

void CBmp::Create(int width, int height, int bitsPerPixel, bool hasAlpha) {
  ReleaseStorage();
  AllocateStorage(width, height, bitsPerPixel, hasAlpha);
}

int64_t CBmp::LineLengthFor(int width, int bitsPerPixel) {
  const int64_t bytes = (int64_t{width} * bitsPerPixel + 7) / 8;
  return (bytes + 3) / 4 * 4;
}

int CBmp::CopyPalette(const uint8_t* entries) {
  if (!palette) return 0;
  const int count = 1 << bitsPerPixel;
  std::memcpy(palette, entries, static_cast<size_t>(count) * 4);
  return count;
}

void CBmp::SetDefaultState(int w, int h, int bpp, bool alpha) {
  width = w;
  height = h;
  bitsPerPixel = static_cast<uint16_t>(bpp);
  hasAlpha = alpha;
  BuildLineArray();
  if (bpp <= 15 && palette) {
    const int count = 1 << bpp;
    const int step = 255 / (count - 1);
    for (int i = 0; i < count; ++i) {
      uint8_t* entry = palette + 4 * i;
      entry[0] = entry[1] = entry[2] = static_cast<uint8_t>(i * step);
      entry[3] = 255;
    }
  }
}

}  // namespace tesselor
