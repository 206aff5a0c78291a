// Bounds on what one JPEG file may cost the library: the memory it sets up
// for multi-scan files, the number of scans it reads, and how many pixels a
// byte of the file may stand for.
#pragma once

#include <cstdint>

#include "imagelib/jpeg_error_guard.h"

namespace tesselor {

// Progressive files beyond this many scans cost the whole image's work for
// each of them; encoders write about ten.
constexpr int kMostJpegScans = 500;

// Lets the library keep the coefficients of a picture as large as the pixel
// budget allows, and no more: a larger request fails instead of growing.
void BoundJpegMemory(j_decompress_ptr cinfo);

// True once the library is reading more scans than kMostJpegScans.
bool JpegScansOverLimit(j_decompress_ptr cinfo);

// Huffman-coded data needs some bits for every block; arithmetic coding
// squeezes a flat 8000 x 8000 picture into 211 bytes, so only the pixel
// budget bounds those files.
int64_t JpegMostPixelsPerByte(j_decompress_ptr cinfo);

}  // namespace tesselor
