// Run-length decoding of 4- and 8-bit bitmap files.
#pragma once

#include "imagelib/bmp.h"
#include "imagelib/bmp_indexed_pixels.h"
#include "imagelib/data_source.h"

namespace tesselor {

// Reads run-length pairs from source into bmp (whose first file row is its
// bottom line) until the end-of-bitmap code or the last row ends. Runs that
// reach past the end of a row are cut at the row's end. Raises code 6 for
// the delta escape, which we do not support, and code 11 when the data end
// first.
void DecodeRunLength(CDataSource& source, CBmp& bmp, int bitsPerIndex,
                     const BmpIndexedPixels& pixels);

}  // namespace tesselor
