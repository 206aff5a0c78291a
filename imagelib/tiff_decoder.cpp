#include "imagelib/tiff_decoder.h"

#include <algorithm>
#include <vector>

#include "imagelib/text_exception.h"
#include "imagelib/tiff_data_checks.h"
#include "imagelib/tiff_memory_client.h"

namespace tesselor {

namespace {

constexpr int kTableEntries = 256;

struct TiffLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t bitsPerSample = 1;
  uint16_t samplesPerPixel = 1;
  uint16_t photometric = PHOTOMETRIC_MINISBLACK;
  bool tiled = false;
};

TiffLayout ReadLayout(TIFF* tiff) {
  TiffLayout layout;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bitsPerSample);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samplesPerPixel);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &layout.photometric);
  layout.tiled = TIFFIsTiled(tiff);
  return layout;
}

// The 8-bit path reads scanlines itself, so it takes only the layouts whose
// samples it knows how to turn into indices; the RGBA renderer takes the rest.
bool FitsEightBitPath(const TiffLayout& layout) {
  const int bits = layout.bitsPerSample;
  const bool knownDepth = bits == 1 || bits == 2 || bits == 4 || bits == 8;
  const int photometric = layout.photometric;
  const bool knownPhotometric = photometric == PHOTOMETRIC_MINISBLACK ||
                                photometric == PHOTOMETRIC_MINISWHITE ||
                                photometric == PHOTOMETRIC_PALETTE;
  return layout.samplesPerPixel == 1 && !layout.tiled && knownDepth && knownPhotometric;
}

// Refuses what the RGBA renderer cannot draw, before anything is allocated.
bool RgbaHasAlpha(TIFF* tiff) {
  char message[1024] = "";
  TIFFRGBAImage image;
  if (!TIFFRGBAImageOK(tiff, message) || !TIFFRGBAImageBegin(&image, tiff, 1, message))
    RaiseError(kErrUnsupported, std::string("TIFF image cannot be rendered: ") + message);
  const bool hasAlpha = image.alpha != 0;
  TIFFRGBAImageEnd(&image);
  return hasAlpha;
}

void RenderRgba(TIFF* tiff, const TiffMemoryClient& client, CBmp& bmp, const TiffLayout& layout) {
  // A 32-bit bitmap's rows lie bottom line first with no padding, which is
  // the order libtiff renders into, so it can write the rows in place; its
  // red, green, blue, alpha bytes are then turned into ours.
  auto* raster = reinterpret_cast<uint32_t*>(bmp.bits);
  if (!TIFFReadRGBAImage(tiff, layout.width, layout.height, raster, 1))
    RaiseError(kErrInconsistent, client.LastError());
  const size_t pixels = size_t{layout.width} * layout.height;
  for (size_t i = 0; i < pixels; ++i) std::swap(bmp.bits[4 * i], bmp.bits[4 * i + 2]);
}

ColourTable EightBitTable(TIFF* tiff, const TiffLayout& layout) {
  ColourTable table(4 * kTableEntries, 0);
  const int count = 1 << layout.bitsPerSample;
  uint16_t* red = nullptr;
  uint16_t* green = nullptr;
  uint16_t* blue = nullptr;
  const bool hasMap = layout.photometric == PHOTOMETRIC_PALETTE &&
                      TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue);
  if (layout.photometric == PHOTOMETRIC_PALETTE && !hasMap)
    RaiseError(kErrInconsistent, "TIFF palette image has no colour map.");
  for (int i = 0; i < count; ++i) {
    uint8_t* entry = &table[4 * i];
    if (hasMap) {
      entry[0] = static_cast<uint8_t>(blue[i] >> 8);
      entry[1] = static_cast<uint8_t>(green[i] >> 8);
      entry[2] = static_cast<uint8_t>(red[i] >> 8);
    } else {
      const int level = i * 255 / (count - 1);
      const int grey = layout.photometric == PHOTOMETRIC_MINISWHITE ? 255 - level : level;
      entry[0] = entry[1] = entry[2] = static_cast<uint8_t>(grey);
    }
    entry[3] = 255;
  }
  return table;
}

void ReadEightBitRows(TIFF* tiff, const TiffMemoryClient& client, CBmp& bmp,
                      const TiffLayout& layout) {
  const tmsize_t scanlineBytes = TIFFScanlineSize(tiff);
  const int bits = layout.bitsPerSample;
  if (scanlineBytes * 8 < tmsize_t{bmp.width} * bits)
    RaiseError(kErrInconsistent, "TIFF scanline is shorter than the image width.");
  std::vector<uint8_t> scanline(static_cast<size_t>(scanlineBytes));
  const int mask = (1 << bits) - 1;
  for (int y = 0; y < bmp.height; ++y) {
    if (TIFFReadScanline(tiff, scanline.data(), static_cast<uint32_t>(y), 0) < 0)
      RaiseError(kErrInconsistent, client.LastError());
    uint8_t* line = bmp.lineArray[y];
    for (int x = 0; x < bmp.width; ++x) {
      const int64_t bit = int64_t{x} * bits;
      line[x] = static_cast<uint8_t>((scanline[bit / 8] >> (8 - bits - bit % 8)) & mask);
    }
  }
}

}  // namespace

int64_t CTIFFDecoder::MostPixelsPerByte() const {
  return mostPixelsPerByte_;
}

void CTIFFDecoder::DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                               CDataSource& source) {
  const int64_t size = source.BytesLeft();
  const uint8_t* data = source.ReadBytes(size);
  const TiffMemoryClient client(data, size);
  TIFF* tiff = client.Handle();
  if (!tiff) RaiseError(kErrWrongSignature, client.LastError());

  const TiffLayout layout = ReadLayout(tiff);
  RefuseSharedStrips(tiff);
  mostPixelsPerByte_ =
      TiffMostPixelsPerByte(tiff, int{layout.bitsPerSample} * layout.samplesPerPixel);
  if (bitsPerPixel != 32 && FitsEightBitPath(layout)) {
    palette = EightBitTable(tiff, layout);
    CreateBitmap(bmp, layout.width, layout.height, 8, false, "TIFF");
    bmp.CopyPalette(palette.data());
    ReadEightBitRows(tiff, client, bmp, layout);
    bitsPerPixel = 8;
  } else {
    CreateBitmap(bmp, layout.width, layout.height, 32, RgbaHasAlpha(tiff), "TIFF");
    RenderRgba(tiff, client, bmp, layout);
    bitsPerPixel = 32;
  }
}

}  // namespace tesselor
