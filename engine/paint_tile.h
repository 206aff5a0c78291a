// Drawing a chosen tile into the mosaic with its colours pulled toward the
// cell and, if asked, some of the photograph blended in.
#pragma once

#include "engine/choose_tile.h"
#include "engine/tile_set.h"
#include "imagelib/bmp.h"

namespace tesselor {

// Paints tile tileIndex with its top-left corner at (x, y). blendFraction is
// the share of the photograph mixed in, used as a whole percentage truncated
// from blendFraction x 100. Only the red, green and blue bytes of pixels
// inside the mosaic are written.
void PaintTile(const CBmp& source, CBmp& mosaic, const TileSet& tiles, int tileIndex, int x, int y,
               int tileSize, const ColourGains& gains, double blendFraction);

}  // namespace tesselor
