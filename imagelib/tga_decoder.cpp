#include "imagelib/tga_decoder.h"

#include <algorithm>

#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

constexpr int kTableEntries = 256;
constexpr uint8_t kTopToBottom = 0x20;
constexpr uint8_t kRightToLeft = 0x10;

enum TgaImageType : uint8_t {
  kColourMapped = 1,
  kTrueColour = 2,
  kGrey = 3,
  kColourMappedRle = 9,
  kTrueColourRle = 10,
  kGreyRle = 11,
};

struct TgaHeader {
  uint8_t idLength;
  uint8_t colourMapType;
  uint8_t imageType;
  uint16_t mapFirst;
  uint16_t mapLength;
  uint8_t mapEntryBits;
  uint16_t width;
  uint16_t height;
  uint8_t pixelBits;
  uint8_t descriptor;
};

TgaHeader ReadHeader(CDataSource& source) {
  TgaHeader h{};
  h.idLength = source.ReadByte();
  h.colourMapType = source.ReadByte();
  h.imageType = source.ReadByte();
  h.mapFirst = source.ReadWordLE();
  h.mapLength = source.ReadWordLE();
  h.mapEntryBits = source.ReadByte();
  source.ReadWordLE();  // x origin
  source.ReadWordLE();  // y origin
  h.width = source.ReadWordLE();
  h.height = source.ReadWordLE();
  h.pixelBits = source.ReadByte();
  h.descriptor = source.ReadByte();
  return h;
}

bool IsKnownType(uint8_t type) {
  switch (type) {
    case kColourMapped:
    case kTrueColour:
    case kGrey:
    case kColourMappedRle:
    case kTrueColourRle:
    case kGreyRle:
      return true;
    default:
      return false;
  }
}

bool IsKnownDepth(int bits) {
  return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

int BytesPerPixel(int bits) {
  return (bits + 7) / 8;
}

// One pixel of the given depth as blue, green, red, fourth byte. 8-bit
// pixels are looked up in table.
void ConvertPixel(const uint8_t* in, int bits, const ColourTable& table, uint8_t* out) {
  switch (bits) {
    case 8:
      std::copy_n(&table[4 * in[0]], 4, out);
      break;
    case 15:
    case 16: {
      const int v = in[0] | in[1] << 8;
      out[0] = static_cast<uint8_t>((v & 0x1F) << 3);
      out[1] = static_cast<uint8_t>(((v >> 5) & 0x1F) << 3);
      out[2] = static_cast<uint8_t>(((v >> 10) & 0x1F) << 3);
      // 16-bit files keep one attribute bit; we read it as opaque or clear.
      out[3] = (bits == 15 || (v & 0x8000)) ? 255 : 0;
      break;
    }
    case 24:
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
      out[3] = 255;
      break;
    default:  // 32
      std::copy_n(in, 4, out);
      break;
  }
}

ColourTable GreyRamp() {
  ColourTable table(4 * kTableEntries);
  for (int i = 0; i < kTableEntries; ++i) {
    table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<uint8_t>(i);
    table[4 * i + 3] = 255;
  }
  return table;
}

// Reads the whole colour map, keeping the entries an 8-bit index can reach;
// the rest are consumed so the pixels start where they should.
void ReadColourMap(CDataSource& source, const TgaHeader& h, ColourTable& table) {
  if (!IsKnownDepth(h.mapEntryBits))
    RaiseError(kErrBadHeader, "Unknown TGA colour map entry size.");
  const int entryBytes = BytesPerPixel(h.mapEntryBits);
  const ColourTable unused;
  for (int i = 0; i < h.mapLength; ++i) {
    const uint8_t* entry = source.ReadBytes(entryBytes);
    const int index = h.mapFirst + i;
    if (index < kTableEntries && h.mapEntryBits != 8)
      ConvertPixel(entry, h.mapEntryBits, unused, &table[4 * index]);
  }
}

// Hands out pixels in file order, undoing run-length packets when the image
// type has them. A packet may run on into the next row; at the end of the
// image the rest of it is dropped.
class TgaPixelReader {
 public:
  TgaPixelReader(CDataSource& source, int pixelBytes, bool runLength)
      : source_(source), pixelBytes_(pixelBytes), runLength_(runLength) {}

  const uint8_t* Next() {
    if (!runLength_) return source_.ReadBytes(pixelBytes_);
    if (left_ == 0) {
      const uint8_t header = source_.ReadByte();
      repeat_ = header >= 128;
      left_ = repeat_ ? header - 127 : header + 1;
      if (repeat_) pixel_ = source_.ReadBytes(pixelBytes_);
    }
    --left_;
    return repeat_ ? pixel_ : source_.ReadBytes(pixelBytes_);
  }

 private:
  CDataSource& source_;
  int pixelBytes_;
  bool runLength_;
  bool repeat_ = false;
  int left_ = 0;
  const uint8_t* pixel_ = nullptr;
};

}  // namespace

void CTGADecoder::DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                              CDataSource& source) {
  const TgaHeader h = ReadHeader(source);
  if (!IsKnownType(h.imageType)) RaiseError(kErrBadHeader, "Unknown TGA image type.");
  if (!IsKnownDepth(h.pixelBits)) RaiseError(kErrBadHeader, "Unknown TGA pixel depth.");
  source.ReadBytes(h.idLength);

  // The 8-bit path stores raw indices, so only 8-bit files may take it.
  const bool eightBit = h.pixelBits == 8 && (bitsPerPixel == 0 || bitsPerPixel == 8);
  const int target = eightBit ? 8 : 32;
  const bool hasAlpha = !eightBit && (h.pixelBits == 16 || h.pixelBits == 32);
  CreateBitmap(bmp, h.width, h.height, target, hasAlpha, "TGA");
  bitsPerPixel = target;

  // Grey and true-colour files may still carry a colour map; it is read
  // past but only colour-mapped types use it.
  palette = GreyRamp();
  if (h.colourMapType == 1) {
    ColourTable map = GreyRamp();
    ReadColourMap(source, h, map);
    if (h.imageType == kColourMapped || h.imageType == kColourMappedRle) palette = std::move(map);
  }
  if (eightBit) bmp.CopyPalette(palette.data());

  const int pixelBytes = BytesPerPixel(h.pixelBits);
  TgaPixelReader reader(source, pixelBytes, h.imageType >= kColourMappedRle);
  const bool topFirst = h.descriptor & kTopToBottom;
  const bool rightFirst = h.descriptor & kRightToLeft;
  for (int row = 0; row < bmp.height; ++row) {
    uint8_t* line = bmp.lineArray[topFirst ? row : bmp.height - 1 - row];
    for (int column = 0; column < bmp.width; ++column) {
      const int x = rightFirst ? bmp.width - 1 - column : column;
      const uint8_t* pixel = reader.Next();
      if (eightBit)
        line[x] = pixel[0];
      else
        ConvertPixel(pixel, h.pixelBits, palette, line + 4 * x);
    }
  }
}

}  // namespace tesselor
