// Run-length decoding of 4- and 8-bit bitmap files.
#pragma once

#include "imagelib/bmp.h"
#include "imagelib/bmp_indexed_pixels.h"
#include "imagelib/data_source.h"

namespace tesselor {

// Reads run-length codes from source into bmp (whose first file row is its
// bottom line) until the end-of-bitmap code, the last row or the end of the
// data, whichever comes first: a file cut short keeps what it had. Runs
// that reach past the end of a row are cut at the row's end; pixels a delta
// code steps over, like those no code reaches, keep the bitmap's zeros.
void DecodeRunLength(CDataSource& source, CBmp& bmp, int bitsPerIndex,
                     const BmpIndexedPixels& pixels);

// The most pixels run-length data of this many bytes can spell out: a
// two-byte code gives at most 255.
int64_t MostRunLengthPixels(int64_t dataBytes);

}  // namespace tesselor
