#include "imagelib/wemf_decoder.h"

#include <climits>
#include <cstdint>
#include <cmath>
#include <unordered_map>

#include "imagelib/emf_player.h"
#include "imagelib/image_formats.h"
#include "imagelib/metafile_canvas.h"
#include "imagelib/metafile_player.h"
#include "imagelib/text_exception.h"
#include "imagelib/wmf_player.h"

namespace tesselor {

namespace {

constexpr int kScreenDotsPerInch = 96;
constexpr int kEmptyFrameWidth = 320;
constexpr int kEmptyFrameHeight = 200;
constexpr int kTableEntries = 256;

constexpr const char* kLoadFailed = "Windows Metafile functions failed to load this image.";

void CheckHeader(MetafileHeader header) {
  if (header == MetafileHeader::kTooShort)
    RaiseError(kErrBadHeader, "No header information in metafile");
  if (header == MetafileHeader::kInvalid) RaiseError(kErrUnsupported, kLoadFailed);
}

// A picture of no width or height still gets a bitmap of a usable size.
int64_t OrDefault(int64_t pixels, int fallback) {
  return pixels < 1 ? fallback : pixels;
}

int NearestEntry(const uint8_t* pixel, const ColourTable& table, int entries) {
  int best = 0, bestDistance = INT_MAX;
  for (int i = 0; i < entries; ++i) {
    const uint8_t* entry = &table[4 * i];
    int distance = 0;
    for (int c = 0; c < 3; ++c) distance += (pixel[c] - entry[c]) * (pixel[c] - entry[c]);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

// The 8-bit colour table entry nearest to each rendered colour. A picture
// holds few colours (those of its pens, brushes and bitmaps), so each is
// matched against the table once, not once for every one of up to millions
// of pixels; and as shapes paint runs of one colour, a pixel the colour of
// the one before it is not even looked up.
void ToIndices(const std::vector<uint8_t>& rendered, const ColourTable& table, int entries,
               CBmp& bmp) {
  std::unordered_map<uint32_t, uint8_t> nearest;
  uint32_t previous = UINT32_MAX;  // no 24-bit colour
  uint8_t previousIndex = 0;
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) {
      const uint8_t* pixel = &rendered[(static_cast<size_t>(y) * bmp.width + x) * 4];
      const uint32_t colour = pixel[0] | pixel[1] << 8 | uint32_t{pixel[2]} << 16;
      if (colour != previous) {
        auto [found, isNew] = nearest.try_emplace(colour, 0);
        if (isNew) found->second = static_cast<uint8_t>(NearestEntry(pixel, table, entries));
        previous = colour;
        previousIndex = found->second;
      }
      bmp.lineArray[y][x] = previousIndex;
    }
}

}  // namespace

// A drawing's size is its frame's, whatever few records fill it; the pixel
// budget, the frame limit and the work budget bound it instead.
int64_t CWEMFDecoder::MostPixelsPerByte() const {
  return 0;
}

void CWEMFDecoder::DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                               CDataSource& source) {
  const int64_t size = source.BytesLeft();
  const uint8_t* data = source.ReadBytes(size);
  const bool enhanced = ReadsAsEnhancedMetafile(FileHead(source.Name(), data, size, size));

  // Read the header, the palette, and the size in pixels.
  WmfPicture wmf;
  EmfPicture emf;
  palette.assign(4 * kTableEntries, 0);
  int paletteEntries = 0;
  int64_t width = 0, height = 0;
  if (enhanced) {
    CheckHeader(ReadEmfHeader(data, static_cast<size_t>(size), emf));
    paletteEntries = ReadEmfPalette(emf, palette);
    width = std::llround((int64_t{emf.frameRight} - emf.frameLeft) * emf.pixelsPerMmX / 100);
    height = std::llround((int64_t{emf.frameBottom} - emf.frameTop) * emf.pixelsPerMmY / 100);
  } else {
    CheckHeader(ReadWmfHeader(data, static_cast<size_t>(size), wmf));
    paletteEntries = ReadWmfPalette(wmf, palette);
    if (wmf.placeable && wmf.unitsPerInch > 0) {
      width = (int64_t{wmf.right} - wmf.left) * kScreenDotsPerInch / wmf.unitsPerInch;
      height = (int64_t{wmf.bottom} - wmf.top) * kScreenDotsPerInch / wmf.unitsPerInch;
    }
  }
  width = OrDefault(width, kEmptyFrameWidth);
  height = OrDefault(height, kEmptyFrameHeight);
  // Each side first: two wild sides multiplied would overflow.
  if (width > kMaxRenderedPixels || height > kMaxRenderedPixels ||
      width * height > kMaxRenderedPixels)
    RaiseError(kErrOutOfMemory, "Cannot allocate memory bitmap.");

  const bool hasPalette = paletteEntries > 0 && paletteEntries < kTableEntries;
  const int target = bitsPerPixel == 0 ? (hasPalette ? 8 : 32) : bitsPerPixel;
  const bool eightBit = target == 8 && hasPalette;
  CreateBitmap(bmp, width, height, eightBit ? 8 : 32, !eightBit, "Metafile");
  bitsPerPixel = eightBit ? 8 : 32;
  if (eightBit) bmp.CopyPalette(palette.data());

  // Render onto white: straight into the rows of a 32-bit bitmap, else into
  // a 32-bit scratch image that is then matched to the palette.
  std::vector<uint8_t> scratch;
  std::vector<uint8_t*> scratchRows;
  if (eightBit) {
    scratch.assign(static_cast<size_t>(bmp.width) * bmp.height * 4, 0);
    for (int y = 0; y < bmp.height; ++y)
      scratchRows.push_back(&scratch[static_cast<size_t>(y) * bmp.width * 4]);
  }
  MetafileCanvas canvas(eightBit ? scratchRows.data() : bmp.lineArray, bmp.width, bmp.height);
  canvas.Clear({255, 255, 255});
  MetafilePlayer player(canvas, palette);
  bool complete;
  if (enhanced) {
    // Device units to pixels: the frame, in reference-device units, fills
    // the bitmap.
    const double frameLeft = emf.frameLeft * emf.pixelsPerMmX / 100;
    const double frameTop = emf.frameTop * emf.pixelsPerMmY / 100;
    const double frameWidth = (int64_t{emf.frameRight} - emf.frameLeft) * emf.pixelsPerMmX / 100;
    const double frameHeight = (int64_t{emf.frameBottom} - emf.frameTop) * emf.pixelsPerMmY / 100;
    const double scaleX = frameWidth >= 1 ? bmp.width / frameWidth : 1;
    const double scaleY = frameHeight >= 1 ? bmp.height / frameHeight : 1;
    player.SetDeviceUnitsPerMillimetre(emf.pixelsPerMmX, emf.pixelsPerMmY);
    player.SetDeviceToPixels(scaleX, scaleY, frameWidth >= 1 ? -frameLeft * scaleX : 0,
                             frameHeight >= 1 ? -frameTop * scaleY : 0);
    complete = PlayEmf(emf, player);
  } else {
    // The window the records set (or the placeable bounds) fills the bitmap.
    player.SetMapMode(8);  // anisotropic
    if (wmf.placeable) {
      player.SetWindowOrg(wmf.left, wmf.top);
      player.SetWindowExt(int64_t{wmf.right} - wmf.left, int64_t{wmf.bottom} - wmf.top);
    } else {
      player.SetWindowExt(bmp.width, bmp.height);
    }
    player.SetViewportExt(bmp.width, bmp.height);
    complete = PlayWmf(wmf, player);
  }
  if (!complete) RaiseError(kErrUnsupported, kLoadFailed);
  if (eightBit) ToIndices(scratch, palette, paletteEntries, bmp);
}

}  // namespace tesselor
