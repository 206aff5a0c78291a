// How the bitmap-file decoder stores colour indices: as the colour-table
// entries they stand for (32-bit target), or as they are (8-bit target).
#pragma once

#include <cstdint>
#include <cstring>

namespace tesselor {

struct BmpIndexedPixels {
  const uint8_t* table;  // 256 entries of blue, green, red, 255
  bool asIndices;

  void Put(uint8_t* line, int x, uint8_t index) const {
    if (asIndices)
      line[x] = index;
    else
      std::memcpy(line + 4 * x, table + 4 * index, 4);
  }
};

}  // namespace tesselor
