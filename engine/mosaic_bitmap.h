// The blank bitmap a build paints into.
#pragma once

#include <memory>

#include "imagelib/draw_dib_bmp.h"

namespace tesselor {

// A blank 32-bit mosaic of source's size times magnification (each side
// truncated), or null when it cannot be had. The sizes are checked in
// floating point first: a large magnification gives sides beyond an int.
std::unique_ptr<CDrawDibBmp> NewMosaicBitmap(const CBmp& source, double magnification);

}  // namespace tesselor
