#include "imagelib/orientation.h"

#include <cstring>
#include <vector>

namespace tesselor {

namespace {

struct Point {
  int x, y;
};

// Where output pixel (x, y) comes from in a stored picture of width w and
// height h.
Point StoredPixel(int orientation, int x, int y, int w, int h) {
  switch (orientation) {
    case 2:
      return {w - 1 - x, y};
    case 3:
      return {w - 1 - x, h - 1 - y};
    case 4:
      return {x, h - 1 - y};
    case 5:
      return {y, x};
    case 6:
      return {y, h - 1 - x};
    case 7:
      return {w - 1 - y, h - 1 - x};
    default:  // 8
      return {w - 1 - y, x};
  }
}

}  // namespace

void Reorient(CBmp& bmp, int orientation) {
  if (orientation < 2 || orientation > 8) return;
  if (bmp.bitsPerPixel != 8 && bmp.bitsPerPixel != 32) return;
  const int w = bmp.width, h = bmp.height, bytes = bmp.bitsPerPixel / 8;
  const size_t storedLine = size_t(w) * bytes;
  std::vector<uint8_t> stored(storedLine * h);
  for (int y = 0; y < h; ++y) std::memcpy(&stored[storedLine * y], bmp.lineArray[y], storedLine);
  std::vector<uint8_t> palette;
  if (bmp.palette) palette.assign(bmp.palette, bmp.palette + 4 * 256);

  const bool swapped = orientation >= 5;
  bmp.Create(swapped ? h : w, swapped ? w : h, bmp.bitsPerPixel, bmp.hasAlpha);
  if (!palette.empty()) bmp.CopyPalette(palette.data());
  for (int y = 0; y < bmp.height; ++y) {
    uint8_t* out = bmp.lineArray[y];
    for (int x = 0; x < bmp.width; ++x, out += bytes) {
      const Point from = StoredPixel(orientation, x, y, w, h);
      std::memcpy(out, &stored[storedLine * from.y + size_t(from.x) * bytes], bytes);
    }
  }
}

const char* OrientationText(int orientation) {
  switch (orientation) {
    case 2:
      return "mirror left to right";
    case 3:
      return "rotate 180";
    case 4:
      return "mirror top to bottom";
    case 5:
      return "mirror left to right, rotate 90 anticlockwise";
    case 6:
      return "rotate 90 clockwise";
    case 7:
      return "mirror left to right, rotate 90 clockwise";
    case 8:
      return "rotate 90 anticlockwise";
    default:
      return "upright";
  }
}

}  // namespace tesselor
