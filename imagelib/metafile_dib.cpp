#include "imagelib/metafile_dib.h"

#include <algorithm>
#include <cstdlib>

#include "imagelib/bmp.h"
#include "imagelib/byte_order.h"

namespace tesselor {

namespace {

constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kUncompressed = 0;

struct DibLayout {
  int64_t width = 0;
  int64_t height = 0;  // negative for rows stored top line first
  int bits = 0;
  uint32_t compression = kUncompressed;
  uint32_t coloursUsed = 0;
  uint32_t headerBytes = 0;
  int entryBytes = 4;  // colour-table entry: 3 in old core headers
};

bool ReadLayout(const uint8_t* info, size_t infoBytes, DibLayout& dib) {
  if (infoBytes < 4) return false;
  dib.headerBytes = LittleEndian32(info);
  if (dib.headerBytes == kCoreHeaderBytes && infoBytes >= kCoreHeaderBytes) {
    dib.width = LittleEndian16(info + 4);
    dib.height = LittleEndian16(info + 6);
    dib.bits = LittleEndian16(info + 10);
    dib.entryBytes = 3;
    return true;
  }
  if (dib.headerBytes < kInfoHeaderBytes || dib.headerBytes > infoBytes) return false;
  dib.width = static_cast<int32_t>(LittleEndian32(info + 4));
  dib.height = static_cast<int32_t>(LittleEndian32(info + 8));
  dib.bits = LittleEndian16(info + 14);
  dib.compression = LittleEndian32(info + 16);
  dib.coloursUsed = LittleEndian32(info + 32);
  return true;
}

uint32_t TableEntries(const DibLayout& dib) {
  if (dib.bits > 8) return 0;
  const uint32_t full = 1u << dib.bits;
  return dib.coloursUsed && dib.coloursUsed < full ? dib.coloursUsed : full;
}

int EntryBytes(const DibLayout& dib, bool paletteIndices) {
  return paletteIndices ? 2 : dib.entryBytes;
}

}  // namespace

bool ReadMetafileDib(const uint8_t* info, size_t infoBytes, const uint8_t* bits, size_t bitsBytes,
                     bool paletteIndices, const ColourTable& palette, CanvasImage& image) {
  DibLayout dib;
  if (!ReadLayout(info, infoBytes, dib) || dib.compression != kUncompressed) return false;
  const int depth = dib.bits;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
    return false;
  const int64_t rows = std::llabs(dib.height);
  if (dib.width <= 0 || rows <= 0 || dib.width > kMaxBitmapDimension || rows > kMaxBitmapDimension)
    return false;
  const int64_t lineBytes = CBmp::LineLengthFor(static_cast<int>(dib.width), depth);
  if (static_cast<uint64_t>(lineBytes * rows) > bitsBytes) return false;

  // The colour table: 2^depth entries unless the header names fewer.
  ColourTable table(4 * 256, 0);
  if (depth <= 8) {
    const uint32_t entries = TableEntries(dib);
    const int entryBytes = EntryBytes(dib, paletteIndices);
    const uint8_t* entry = info + dib.headerBytes;
    if (dib.headerBytes + uint64_t{entries} * entryBytes > infoBytes) return false;
    for (uint32_t i = 0; i < entries; ++i, entry += entryBytes) {
      uint8_t* out = &table[4 * i];
      const uint8_t* from = paletteIndices ? &palette[4 * (LittleEndian16(entry) & 0xFF)] : entry;
      out[0] = from[0];
      out[1] = from[1];
      out[2] = from[2];
      out[3] = 255;
    }
  }

  image.width = static_cast<int>(dib.width);
  image.height = static_cast<int>(rows);
  image.pixels.assign(static_cast<size_t>(image.width) * image.height * 4, 255);
  for (int y = 0; y < image.height; ++y) {
    const int64_t stored = dib.height > 0 ? rows - 1 - y : y;  // bottom-up unless negative
    const uint8_t* line = bits + stored * lineBytes;
    uint8_t* out = &image.pixels[static_cast<size_t>(y) * image.width * 4];
    for (int x = 0; x < image.width; ++x, out += 4) {
      if (depth <= 8) {
        const int bit = x * depth;
        const int index = (line[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1);
        std::copy_n(&table[4 * index], 3, out);
      } else if (depth == 16) {
        const int v = LittleEndian16(line + 2 * x);  // five bits each of red, green, blue
        out[0] = static_cast<uint8_t>((v & 31) << 3 | (v & 31) >> 2);
        out[1] = static_cast<uint8_t>(((v >> 5) & 31) << 3 | ((v >> 5) & 31) >> 2);
        out[2] = static_cast<uint8_t>(((v >> 10) & 31) << 3 | ((v >> 10) & 31) >> 2);
      } else {
        std::copy_n(line + x * (depth / 8), 3, out);
      }
    }
  }
  return true;
}

bool ReadPackedMetafileDib(const uint8_t* dib, size_t bytes, bool paletteIndices,
                           const ColourTable& palette, CanvasImage& image) {
  DibLayout layout;
  if (!ReadLayout(dib, bytes, layout)) return false;
  const uint64_t bitsAt =
      layout.headerBytes + uint64_t{TableEntries(layout)} * EntryBytes(layout, paletteIndices);
  if (bitsAt > bytes) return false;
  return ReadMetafileDib(dib, bitsAt, dib + bitsAt, bytes - bitsAt, paletteIndices, palette, image);
}

}  // namespace tesselor
