// Reading the bitmap and pixel-map records of PICT files: their headers,
// colour tables and PackBits-coded rows, and pixel patterns to be skipped.
#pragma once

#include <cstdint>
#include <vector>

#include "imagelib/data_source.h"
#include "imagelib/pic_decoder.h"

namespace tesselor {

uint16_t ReadWordBE(CDataSource& source);
uint32_t ReadDWordBE(CDataSource& source);
// Skips a region or polygon: a size word that counts itself, then the rest.
void SkipPictRegion(CDataSource& source);

struct PictRect {
  int top, left, bottom, right;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

PictRect ReadPictRect(CDataSource& source);

// What the pixel-map opcodes share: the row layout, the pixel format and,
// for indexed pixels, the colour table.
struct PictPixMap {
  int rowBytes = 0;
  PictRect bounds{};
  int packType = 0;
  int pixelSize = 1;
  int cmpCount = 1;
  ColourTable table;  // 256 entries of blue, green, red, 255
  int tableEntries = 0;
};

// Reads from the row-bytes word up to the end of the colour table. An old
// one-bit bitmap (top bit of row bytes clear) gets white and black.
PictPixMap ReadPictPixMap(CDataSource& source, bool direct);

// Reads one row of pixel data, PackBits-coded when `packed`, into row
// (resized to hold at least `unpackedBytes`). `unit` is 2 for 16-bit runs.
void ReadPictRow(CDataSource& source, const PictPixMap& map, bool packed, int unit,
                 size_t unpackedBytes, std::vector<uint8_t>& row);

// Steps over a pixel pattern record (opcodes 0x12 to 0x14).
void SkipPictPixPattern(CDataSource& source);

// Decodes the rows of an indexed pixel map. With eightBit the indices are
// stored as they are; otherwise each becomes its colour-table entry.
void DecodePictIndexedRows(CDataSource& source, const PictPixMap& map, bool packed, bool eightBit,
                           CBmp& bmp);

// Decodes the rows of a 16- or 32-bit direct pixel map into a 32-bit bitmap.
void DecodePictDirectRows(CDataSource& source, const PictPixMap& map, CBmp& bmp);

}  // namespace tesselor
