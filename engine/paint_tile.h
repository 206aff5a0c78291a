// Drawing a chosen tile into the mosaic with its colours pulled toward the
// cell and, if asked, some of the photograph blended in.
#pragma once

#include "engine/colour_gains.h"
#include "engine/tile_set.h"
#include "imagelib/bmp.h"

namespace tesselor {

// The lines of a mosaic that are in memory: all of them for a build into a
// bitmap, one band at a time for a build streamed to a file.
struct MosaicBand {
  int width = 0;
  int height = 0;     // of the whole mosaic, which sets its scale
  int firstLine = 0;  // the mosaic line lines[0] holds
  int lineCount = 0;
  uint8_t* const* lines = nullptr;
};

inline MosaicBand WholeMosaic(CBmp& mosaic) {
  return {mosaic.width, mosaic.height, 0, mosaic.height, mosaic.lineArray};
}

// Paints tile tileIndex with its top-left corner at (x, y). blendFraction is
// the share of the photograph mixed in, used as a whole percentage truncated
// from blendFraction x 100. Only the red, green and blue bytes of pixels
// inside the mosaic and the band are written; pixels outside the band come
// out as painting the whole mosaic would have made them.
void PaintTile(const CBmp& source, const MosaicBand& band, const TileSet& tiles, int tileIndex,
               int x, int y, int tileSize, const ColourGains& gains, double blendFraction);

inline void PaintTile(const CBmp& source, CBmp& mosaic, const TileSet& tiles, int tileIndex, int x,
                      int y, int tileSize, const ColourGains& gains, double blendFraction) {
  PaintTile(source, WholeMosaic(mosaic), tiles, tileIndex, x, y, tileSize, gains, blendFraction);
}

}  // namespace tesselor
