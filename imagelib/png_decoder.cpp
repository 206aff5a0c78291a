#include "imagelib/png_decoder.h"

#include "imagelib/png_reader.h"
#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

constexpr int kTableEntries = 256;

// Closes the libpng structures however the decode ends.
struct PngReaderGuard {
  PngReader& reader;
  ~PngReaderGuard() { PngClose(reader); }
};

[[noreturn]] void RaiseReaderError(const PngReader& reader) {
  if (reader.endOfData)
    throw CTextException(kErrEndOfData, "End of file reached while decoding.\n");
  RaiseError(kErrBadHeader, reader.message[0] ? reader.message : "libpng could not be started.");
}

ColourTable GreyTable(int bitDepth) {
  // 16-bit samples are stripped to 8 before they reach the table.
  const int levels = 1 << (bitDepth > 8 ? 8 : bitDepth);
  ColourTable table(4 * kTableEntries, 0);
  for (int i = 0; i < levels; ++i) {
    table[4 * i] = table[4 * i + 1] = table[4 * i + 2] =
        static_cast<uint8_t>(i * 255 / (levels - 1));
    table[4 * i + 3] = 255;
  }
  return table;
}

ColourTable PaletteTable(const PngInfo& info) {
  ColourTable table(4 * kTableEntries, 0);
  for (int i = 0; i < info.paletteEntries && i < kTableEntries; ++i) {
    table[4 * i] = info.palette[i].blue;
    table[4 * i + 1] = info.palette[i].green;
    table[4 * i + 2] = info.palette[i].red;
    table[4 * i + 3] = 255;
  }
  return table;
}

}  // namespace

void CPNGDecoder::DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                              CDataSource& source) {
  PngReader reader;
  const PngReaderGuard guard{reader};
  PngInfo info{};
  if (!PngOpen(reader, source) || !PngReadInfo(reader, info)) RaiseReaderError(reader);

  const int type = info.colourType;
  const bool eightBit =
      bitsPerPixel != 32 &&
      (type == PNG_COLOR_TYPE_GRAY || (type == PNG_COLOR_TYPE_PALETTE && info.bitDepth <= 8));
  const bool hasAlpha = !eightBit && ((type & PNG_COLOR_MASK_ALPHA) || info.hasTransparency);
  if (eightBit)
    palette = type == PNG_COLOR_TYPE_GRAY ? GreyTable(info.bitDepth) : PaletteTable(info);

  CreateBitmap(bmp, info.width, info.height, eightBit ? 8 : 32, hasAlpha, "PNG");
  bitsPerPixel = eightBit ? 8 : 32;
  if (eightBit) bmp.CopyPalette(palette.data());

  const size_t rowBytes = size_t{info.width} * (eightBit ? 1 : 4);
  if (!PngSetOutput(reader, PngOutput{!eightBit, hasAlpha}, rowBytes) ||
      !PngReadRows(reader, bmp.lineArray))
    RaiseReaderError(reader);
}

}  // namespace tesselor
