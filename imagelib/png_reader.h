// A thin C-style layer over libpng. libpng reports errors by longjmp, which
// must never cross C++ frames that hold objects or exceptions; every libpng
// call therefore runs inside these functions, which catch the jump and
// return false with the reason left in the PngReader.
#pragma once

#include <png.h>

#include <cstdint>

#include "imagelib/png_errors.h"

namespace tesselor {

class CDataSource;

struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  CDataSource* source = nullptr;
  bool endOfData = false;  // the failure was running out of input
  char message[kPngMessageBytes] = "";  // libpng's text for any other failure
};

// How the decoder wants the pixels delivered.
struct PngOutput {
  bool thirtyTwoBit;  // blue, green, red, fourth byte; else one byte per pixel
  bool hasAlpha;      // the fourth byte comes from the file
};

struct PngInfo {
  uint32_t width;
  uint32_t height;
  int bitDepth;
  int colourType;
  // The palette of colour-type-3 files, else empty.
  const png_color* palette;
  int paletteEntries;
  bool hasTransparency;  // a tRNS chunk, which expansion turns into alpha
};

// Creates the read structures over source; false when libpng refused.
bool PngOpen(PngReader& reader, CDataSource& source);
// Reads the chunks before the pixels.
bool PngReadInfo(PngReader& reader, PngInfo& info);
// Sets the transformations for output and checks the resulting row size.
bool PngSetOutput(PngReader& reader, const PngOutput& output, size_t expectedRowBytes);
// Reads every row (interlaced files included) and the chunks after them.
bool PngReadRows(PngReader& reader, uint8_t** rows);
void PngClose(PngReader& reader);

}  // namespace tesselor
