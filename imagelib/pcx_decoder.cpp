#include "imagelib/pcx_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "imagelib/byte_order.h"
#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

constexpr int kHeaderBytes = 128;
constexpr uint8_t kManufacturer = 10;
constexpr uint8_t kRunLengthEncoding = 1;
constexpr uint8_t kPaletteSignature = 12;

struct PcxHeader {
  int bitsPerPixel;
  int planes;
  int bytesPerLine;
  int64_t width;
  int64_t height;
  std::array<uint8_t, 48> colourMap;  // 16 red, green, blue triples
};

PcxHeader ReadHeader(CDataSource& source) {
  const uint8_t* h = source.ReadBytes(kHeaderBytes);
  if (h[0] != kManufacturer) RaiseError(kErrWrongSignature, "Error decoding pcx: Not a PCX file.");
  if (h[2] != kRunLengthEncoding)
    RaiseError(kErrWrongSignature, "File has unknown encoding scheme.");
  PcxHeader header{};
  header.bitsPerPixel = h[3];
  header.planes = h[65];
  header.bytesPerLine = LittleEndian16(h + 66);
  header.width = int64_t{LittleEndian16(h + 8)} - LittleEndian16(h + 4) + 1;
  header.height = int64_t{LittleEndian16(h + 10)} - LittleEndian16(h + 6) + 1;
  std::memcpy(header.colourMap.data(), h + 16, header.colourMap.size());
  return header;
}

// Some writers leave the colour map of a monochrome file blank, both entries
// the same; such files are black for clear bits and white for set ones.
void MendBlankMonochromeMap(PcxHeader& header) {
  if (header.bitsPerPixel != 1 || header.planes != 1) return;
  if (!std::equal(header.colourMap.begin(), header.colourMap.begin() + 3,
                  header.colourMap.begin() + 3))
    return;
  std::fill_n(header.colourMap.begin(), 3, 0);
  std::fill_n(header.colourMap.begin() + 3, 3, 255);
}

void CheckLayout(const PcxHeader& header) {
  const int bits = header.bitsPerPixel;
  const int planes = header.planes;
  if (bits == 1) {
    if (planes > 4) RaiseError(kErrBadHeader, "Can't handle image with more than 4 planes.");
  } else if (bits != 2 && bits != 4 && bits != 8) {
    RaiseError(kErrBadHeader, "Can't handle bits per pixel image with planes.");
  } else if (planes != 1 && planes != 3) {
    RaiseError(kErrBadHeader, "Can't handle bits per pixel image with planes.");
  }
  if (planes == 0) RaiseError(kErrBadHeader, "Can't handle bits per pixel image with planes.");
  if (planes == 3 && bits != 8)
    RaiseError(kErrInconsistent, "Can't handle more than 1 bit per pixel.");
  // Each plane row must hold a full image row, or pixels would be read
  // from the next plane.
  if (int64_t{header.bytesPerLine} * 8 < header.width * bits)
    RaiseError(kErrInconsistent, "bytes per line too small for the image width.");
}

// Expands the run-length data one plane row at a time. A run may continue
// from one row into the next, but never beyond the last row of the image.
class RunLengthReader {
 public:
  RunLengthReader(CDataSource& source, int64_t totalBytes)
      : source_(source), remaining_(totalBytes) {}

  void Fill(uint8_t* out, int count) {
    for (int i = 0; i < count; ++i) {
      if (runLeft_ == 0) StartRun();
      out[i] = runValue_;
      --runLeft_;
      --remaining_;
    }
  }

 private:
  void StartRun() {
    const uint8_t byte = source_.ReadByte();
    if (byte >= 0xC0) {
      runLeft_ = byte & 0x3F;
      runValue_ = source_.ReadByte();
      if (runLeft_ > remaining_) RaiseError(kErrInconsistent, "repeat count spans end of image.");
      if (runLeft_ == 0) StartRun();  // an empty run carries no pixel
    } else {
      runLeft_ = 1;
      runValue_ = byte;
    }
  }

  CDataSource& source_;
  int64_t remaining_;  // bytes of the image still to be expanded, the current one included
  int runLeft_ = 0;
  uint8_t runValue_ = 0;
};

// Index of pixel x in a row of packed pixels, the most significant first.
int PackedIndex(const uint8_t* row, int64_t x, int bits) {
  const int64_t bit = x * bits;
  const int shift = 8 - bits - static_cast<int>(bit % 8);
  return (row[bit / 8] >> shift) & ((1 << bits) - 1);
}

int PixelIndex(const PcxHeader& header, const uint8_t* planeRows, int64_t x) {
  if (header.planes == 1) return PackedIndex(planeRows, x, header.bitsPerPixel);
  int index = 0;
  for (int plane = 0; plane < header.planes; ++plane)
    index |= PackedIndex(planeRows + plane * header.bytesPerLine, x, 1) << plane;
  return index;
}

void StorePixel(uint8_t* pixel, const uint8_t* rgb) {
  pixel[0] = rgb[2];
  pixel[1] = rgb[1];
  pixel[2] = rgb[0];
  pixel[3] = 255;
}

}  // namespace

void CPCXDecoder::DecodeImage(CBmp& bmp, ColourTable&, int&, CDataSource& source) {
  PcxHeader header = ReadHeader(source);
  CheckLayout(header);
  MendBlankMonochromeMap(header);
  CreateBitmap(bmp, header.width, header.height, 32, false, "PCX");

  const int width = bmp.width;
  const int rowBytes = header.planes * header.bytesPerLine;
  const bool trueColour = header.planes == 3;
  // 256-colour files keep their palette behind the pixels, so until it has
  // been read each pixel holds its index in its first byte.
  const bool paletteAtEnd = header.bitsPerPixel == 8 && header.planes == 1;
  std::vector<uint8_t> row(static_cast<size_t>(rowBytes));

  RunLengthReader reader(source, int64_t{rowBytes} * bmp.height);
  for (int y = 0; y < bmp.height; ++y) {
    reader.Fill(row.data(), rowBytes);
    uint8_t* line = bmp.lineArray[y];
    for (int x = 0; x < width; ++x) {
      if (trueColour) {
        const uint8_t rgb[3] = {row[x], row[header.bytesPerLine + x],
                                row[2 * header.bytesPerLine + x]};
        StorePixel(line + 4 * x, rgb);
      } else if (paletteAtEnd) {
        line[4 * x] = row[x];
      } else {
        StorePixel(line + 4 * x, &header.colourMap[3 * PixelIndex(header, row.data(), x)]);
      }
    }
  }

  if (!paletteAtEnd) return;
  if (source.ReadByte() != kPaletteSignature)
    RaiseError(kErrInconsistent, "bad color map signature.");
  const uint8_t* colourMap = source.ReadBytes(256 * 3);
  for (int y = 0; y < bmp.height; ++y)
    for (uint8_t* pixel = bmp.lineArray[y]; pixel < bmp.lineArray[y] + 4 * width; pixel += 4)
      StorePixel(pixel, colourMap + 3 * pixel[0]);
}

}  // namespace tesselor
