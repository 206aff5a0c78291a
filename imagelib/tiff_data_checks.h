// What a TIFF file's data can back: strips that share bytes let a small file
// stand for gigabytes of pixels, and each compression expands its data by at
// most so much.
#pragma once

#include <tiffio.h>

#include <cstdint>

namespace tesselor {

// The most pixels one byte of the file can stand for with its compression
// and sample layout; 0 for compressions (fax, JPEG) with no useful bound.
int64_t TiffMostPixelsPerByte(TIFF* tiff, int bitsPerPixel);

// Raises code 7 when two strips (or tiles) with data overlap or repeat.
void RefuseSharedStrips(TIFF* tiff);

}  // namespace tesselor
