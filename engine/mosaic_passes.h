// The painting half of a build, over a tile set already in memory: the grid
// of cells, then the optional scatter of tiles at random positions.
#pragma once

#include "engine/create_mosaic.h"
#include "engine/mosaic_settings.h"
#include "engine/tile_set.h"
#include "imagelib/bmp.h"
#include "platform/progress_window.h"

namespace tesselor {

// Cells of the grid over an outW x outH mosaic: one column and one row more
// than whole tiles fit, so the right and bottom edges are always covered.
struct MosaicGrid {
  int columns = 0;
  int rows = 0;
  int64_t Cells() const { return int64_t{columns} * rows; }
};
MosaicGrid GridFor(int outWidth, int outHeight, int tileSize);

// Fills mosaic from tiles (which must hold at least one tile), stepping
// progress once per cell and placement; returns kAborted when the window's
// Abort stopped it (kAbortedBeforePainting when no cell was painted yet),
// else kCompleted.
BuildOutcome PaintMosaic(const CBmp& source, CBmp& mosaic, const TileSet& tiles,
                         const BuildOptions& options, ProgressWindow& progress);

}  // namespace tesselor
