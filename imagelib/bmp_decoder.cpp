#include "imagelib/bmp_decoder.h"

#include <algorithm>
#include <cstring>

#include "imagelib/bmp_bit_fields.h"
#include "imagelib/bmp_file_header.h"
#include "imagelib/bmp_indexed_pixels.h"
#include "imagelib/bmp_run_length.h"
#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

constexpr int kTableEntries = 256;
constexpr int kEightBitTarget = 8;
constexpr int kColourTarget = 32;
// Run-length pictures up to this many pixels decode whatever their data
// hold; larger ones must have data that could spell them out.
constexpr int64_t kRunLengthPixelsAlwaysTaken = int64_t{1} << 20;

// Reads the file's colour table into 256 entries of blue, green, red, 255.
// Entries past 256 cannot be indexed by any pixel: they are read over and
// dropped. Entries the file lacks stay black. A table that would run into
// the pixels is taken as far as they begin, as other readers do.
void ReadColourTable(CDataSource& source, const BmpLayout& layout, ColourTable& table) {
  int64_t count = layout.coloursUsed ? int64_t{layout.coloursUsed} : int64_t{1} << layout.bitCount;
  const int64_t room = (layout.pixelOffset - source.BytesRead()) / layout.tableEntryBytes;
  if (room > 0 && room < count) count = room;
  const uint8_t* entries = source.ReadBytes(layout.tableEntryBytes * count);
  table.assign(4 * kTableEntries, 0);
  for (int64_t i = 0; i < kTableEntries; ++i) {
    if (i < count) std::memcpy(&table[4 * i], entries + layout.tableEntryBytes * i, 3);
    table[4 * i + 3] = 255;
  }
}

int64_t PaddedRowBytes(int64_t bytes) {
  return (bytes + 3) / 4 * 4;
}

bool IsKnownBitCount(int bitCount) {
  switch (bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

// How one uncompressed file row becomes one line of the bitmap.
struct RowDecoder {
  int bitCount;
  const BmpIndexedPixels& pixels;
  const BmpBitFields* bitFields;  // for 16 bits, and 24 or 32 with masks

  void Decode(const uint8_t* row, int width, uint8_t* line) const {
    if (bitFields) {
      bitFields->DecodeRow(row, bitCount / 8, width, line);
    } else if (bitCount == 24) {
      for (int x = 0; x < width; ++x) {
        std::memcpy(line + 4 * x, row + 3 * x, 3);
        line[4 * x + 3] = 255;
      }
    } else if (bitCount == 32) {
      std::memcpy(line, row, static_cast<size_t>(width) * 4);
    } else {
      // 1, 2, 4 or 8 bits: indices packed from the most significant bits down.
      const int mask = (1 << bitCount) - 1;
      for (int x = 0; x < width; ++x) {
        const int64_t bit = int64_t{x} * bitCount;
        const int shift = 8 - bitCount - static_cast<int>(bit % 8);
        pixels.Put(line, x, static_cast<uint8_t>(row[bit / 8] >> shift & mask));
      }
    }
  }
};

void DecodeUncompressed(CDataSource& source, CBmp& bmp, bool topDown, const RowDecoder& decoder) {
  const int64_t rowBytes = PaddedRowBytes((int64_t{bmp.width} * decoder.bitCount + 7) / 8);
  for (int r = 0; r < bmp.height; ++r) {
    const uint8_t* row = source.ReadBytes(rowBytes);
    decoder.Decode(row, bmp.width, bmp.lineArray[topDown ? r : bmp.height - 1 - r]);
  }
}

// A few bytes of run-length data can claim any size, and an early end keeps
// the rest black, so the claim is held to what the data could spell out
// before anything is allocated.
void CheckRunLengthBacking(int64_t width, int64_t height, int64_t dataBytes) {
  const int64_t claimed = width * height;
  if (claimed <= kRunLengthPixelsAlwaysTaken || claimed <= MostRunLengthPixels(dataBytes)) return;
  RaiseError(kErrBadHeader, "Bitmap decoder: " + std::to_string(dataBytes) +
                                " bytes of run-length data cannot hold a " + std::to_string(width) +
                                " x " + std::to_string(height) + " image.");
}

}  // namespace

void CBmpDecoder::DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                              CDataSource& source) {
  const BmpLayout layout = ReadBmpHeaders(source);
  const int bitCount = layout.bitCount;
  if (!IsKnownBitCount(bitCount)) RaiseError(kErrBadHeader, "Decoding bmp: Illegal bpp value.");
  const bool indexed = bitCount <= 8;
  const bool runLength = (bitCount == 4 || bitCount == 8) && layout.compression != kBmpRgb;
  // A negative height marks rows stored from the top line down; run-length
  // data are always stored bottom-up.
  const bool topDown = layout.height < 0;
  if (topDown && runLength)
    RaiseError(kErrBadHeader, "Bitmap decoder: run-length data cannot be stored top-down.");
  // 16-bit files without masks keep five bits a channel; 32-bit ones are
  // copied as they are.
  const bool bitFields = bitCount == 16 || (bitCount > 16 && layout.hasMasks);
  const BmpBitFields fields(layout.hasMasks ? layout.masks : BmpBitFields::FiveFiveFive());

  if (indexed) ReadColourTable(source, layout, palette);
  // Most files put the rows right behind the colour table; some leave a gap
  // (bit masks, a colour profile) first, which the pixel offset steps over.
  if (layout.pixelOffset > source.BytesRead() && layout.pixelOffset <= source.Size())
    source.ReadBytes(layout.pixelOffset - source.BytesRead());

  const int depth = indexed && (bitsPerPixel == 0 || bitsPerPixel == kEightBitTarget)
                        ? kEightBitTarget
                        : kColourTarget;
  const int64_t height = topDown ? -int64_t{layout.height} : int64_t{layout.height};
  if (runLength && layout.width > 0 && height > 0)
    CheckRunLengthBacking(layout.width, height, source.BytesLeft());
  CreateBitmap(bmp, layout.width, height, depth, false, "Bitmap decoder");
  if (depth == kEightBitTarget) bmp.CopyPalette(palette.data());
  bitsPerPixel = depth;

  const BmpIndexedPixels pixels{palette.data(), depth == kEightBitTarget};
  if (runLength) {
    DecodeRunLength(source, bmp, bitCount, pixels);
  } else {
    DecodeUncompressed(source, bmp, topDown, {bitCount, pixels, bitFields ? &fields : nullptr});
  }
}

}  // namespace tesselor
