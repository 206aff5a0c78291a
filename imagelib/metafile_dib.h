// Reads the device-independent bitmaps that metafile records carry.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagelib/metafile_canvas.h"
#include "imagelib/pic_decoder.h"

namespace tesselor {

// Decodes an uncompressed DIB of 1, 4, 8, 16, 24 or 32 bits from its
// header and colour table (info) and its rows (bits). With paletteIndices
// the colour table holds 16-bit indices into `palette` (256 entries of blue,
// green, red, 255). False for anything malformed, compressed, or larger
// than the bytes given.
bool ReadMetafileDib(const uint8_t* info, size_t infoBytes, const uint8_t* bits, size_t bitsBytes,
                     bool paletteIndices, const ColourTable& palette, CanvasImage& image);

// The same for a packed DIB: header, colour table and rows in one block.
bool ReadPackedMetafileDib(const uint8_t* dib, size_t bytes, bool paletteIndices,
                           const ColourTable& palette, CanvasImage& image);

}  // namespace tesselor
