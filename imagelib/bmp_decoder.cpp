#include "imagelib/bmp_decoder.h"

#include <algorithm>
#include <cstring>

#include "imagelib/bitmap_info_header.h"
#include "imagelib/bmp_indexed_pixels.h"
#include "imagelib/bmp_run_length.h"
#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

constexpr uint16_t kSignature = 0x4D42;  // "BM"
constexpr int kTableEntries = 256;
constexpr int kEightBitTarget = 8;
constexpr int kColourTarget = 32;

struct BmpFileHeader {
  uint16_t signature;
  uint32_t fileSize;
  uint16_t reserved1;
  uint16_t reserved2;
  uint32_t pixelOffset;
};

BmpFileHeader ReadFileHeader(CDataSource& source) {
  BmpFileHeader h{};
  h.signature = source.ReadWordLE();
  h.fileSize = source.ReadDWordLE();
  h.reserved1 = source.ReadWordLE();
  h.reserved2 = source.ReadWordLE();
  h.pixelOffset = source.ReadDWordLE();
  return h;
}

BitmapInfoHeader ReadInfoHeader(CDataSource& source) {
  BitmapInfoHeader h{};
  // The size comes first, so a shorter header of another kind is refused
  // for what it is rather than as a file cut short.
  h.biSize = source.ReadDWordLE();
  if (h.biSize != kBitmapInfoHeaderSize)
    RaiseError(kErrBadHeader, "Bitmap decoder: BITMAPINFOHEADER has wrong size.");
  h.biWidth = static_cast<int32_t>(source.ReadDWordLE());
  h.biHeight = static_cast<int32_t>(source.ReadDWordLE());
  h.biPlanes = source.ReadWordLE();
  h.biBitCount = source.ReadWordLE();
  h.biCompression = source.ReadDWordLE();
  h.biSizeImage = source.ReadDWordLE();
  h.biXPelsPerMeter = static_cast<int32_t>(source.ReadDWordLE());
  h.biYPelsPerMeter = static_cast<int32_t>(source.ReadDWordLE());
  h.biClrUsed = source.ReadDWordLE();
  h.biClrImportant = source.ReadDWordLE();
  return h;
}

// Reads the file's colour table into 256 entries of blue, green, red, 255.
// Entries past 256 cannot be indexed by any pixel: they are read over and
// dropped. Entries the file lacks stay black.
void ReadColourTable(CDataSource& source, const BitmapInfoHeader& h, ColourTable& table) {
  const int64_t count = h.biClrUsed ? int64_t{h.biClrUsed} : int64_t{1} << h.biBitCount;
  const uint8_t* entries = source.ReadBytes(4 * count);
  table.assign(4 * kTableEntries, 0);
  for (int64_t i = 0; i < kTableEntries; ++i) {
    if (i < count) std::memcpy(&table[4 * i], entries + 4 * i, 3);
    table[4 * i + 3] = 255;
  }
}

int64_t PaddedRowBytes(int64_t bytes) {
  return (bytes + 3) / 4 * 4;
}

// One uncompressed file row into one line of the bitmap.
void DecodeRow(const uint8_t* row, int bitCount, int width, const BmpIndexedPixels& pixels,
               uint8_t* line) {
  switch (bitCount) {
    case 24:
      for (int x = 0; x < width; ++x) {
        std::memcpy(line + 4 * x, row + 3 * x, 3);
        line[4 * x + 3] = 255;
      }
      break;
    case 32:
      std::memcpy(line, row, static_cast<size_t>(width) * 4);
      break;
    default: {
      // 1, 4 or 8 bits: indices packed from the most significant bits down.
      const int mask = (1 << bitCount) - 1;
      for (int x = 0; x < width; ++x) {
        const int64_t bit = int64_t{x} * bitCount;
        const int shift = 8 - bitCount - static_cast<int>(bit % 8);
        pixels.Put(line, x, static_cast<uint8_t>(row[bit / 8] >> shift & mask));
      }
    }
  }
}

void DecodeUncompressed(CDataSource& source, CBmp& bmp, int bitCount, bool topDown,
                        const BmpIndexedPixels& pixels) {
  const int64_t rowBytes = PaddedRowBytes((int64_t{bmp.width} * bitCount + 7) / 8);
  for (int r = 0; r < bmp.height; ++r) {
    const uint8_t* row = source.ReadBytes(rowBytes);
    DecodeRow(row, bitCount, bmp.width, pixels, bmp.lineArray[topDown ? r : bmp.height - 1 - r]);
  }
}

}  // namespace

void CBmpDecoder::DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                              CDataSource& source) {
  const int64_t start = source.BytesRead();
  const BmpFileHeader file = ReadFileHeader(source);
  if (file.signature != kSignature)
    RaiseError(kErrWrongSignature, "Bitmap decoder: This isn't a bitmap.");
  const BitmapInfoHeader info = ReadInfoHeader(source);

  const int bitCount = info.biBitCount;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
    RaiseError(kErrBadHeader, "Decoding bmp: Illegal bpp value.");
  const bool indexed = bitCount <= 8;
  const bool runLength = (bitCount == 4 || bitCount == 8) && info.biCompression != 0;
  // A negative height marks rows stored from the top line down; run-length
  // data are always stored bottom-up.
  const bool topDown = info.biHeight < 0;
  if (topDown && runLength)
    RaiseError(kErrBadHeader, "Bitmap decoder: run-length data cannot be stored top-down.");

  if (indexed) ReadColourTable(source, info, palette);
  // Most files put the rows right behind the colour table; some leave a gap
  // (or bit masks) first, which the pixel offset steps over.
  const int64_t offset = start + file.pixelOffset;
  if (offset > source.BytesRead() && offset <= source.Size())
    source.ReadBytes(offset - source.BytesRead());

  const int depth = indexed && (bitsPerPixel == 0 || bitsPerPixel == kEightBitTarget)
                        ? kEightBitTarget
                        : kColourTarget;
  const int64_t height = topDown ? -int64_t{info.biHeight} : int64_t{info.biHeight};
  CreateBitmap(bmp, info.biWidth, height, depth, false, "Bitmap decoder");
  if (depth == kEightBitTarget) bmp.CopyPalette(palette.data());
  bitsPerPixel = depth;

  const BmpIndexedPixels pixels{palette.data(), depth == kEightBitTarget};
  if (runLength)
    DecodeRunLength(source, bmp, bitCount, pixels);
  else
    DecodeUncompressed(source, bmp, bitCount, topDown, pixels);
}

}  // namespace tesselor
