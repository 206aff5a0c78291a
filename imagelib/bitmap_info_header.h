// The 40-byte header in front of every bitmap's colour table and rows, laid
// out as in a Windows bitmap file so the bytes can be written as they are.
#pragma once

#include <cstdint>

namespace tesselor {

struct BitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

constexpr int kBitmapInfoHeaderSize = 40;

}  // namespace tesselor
