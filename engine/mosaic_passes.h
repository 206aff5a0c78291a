// The painting half of a build, over a tile set already in memory: the grid
// of cells, then the optional scatter of tiles at random positions.
#pragma once

#include <array>
#include <functional>

#include "engine/build_outcome.h"
#include "engine/choose_tile.h"
#include "engine/mosaic_settings.h"
#include "engine/ordered_parallel.h"
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

// One placement of the build, chosen: where, which tile with which gains,
// and the averages of the cell the gains were taken from.
struct PlacedTile {
  int x = 0;
  int y = 0;
  TileChoice choice;
  std::array<int, kChannels> cellAverage{};
};

// The mosaic of source at magnification, each side truncated.
struct MosaicSize {
  int width = 0;
  int height = 0;
};
MosaicSize MosaicSizeFor(const CBmp& source, double magnification);

// Chooses every placement of the mosaic of source at options.magnification,
// whose cells are sampled at the scale of a mosaic mosaicHeight lines high,
// in build order
// (the grid, columns outer, then the random placements when asked), stepping
// progress once per placement and handing each to place as it comes; returns
// kAborted when the window's Abort stopped it, else kCompleted. Moves the
// program's generator on by the draws made. Every tile that lands inside the
// mosaic goes into record when one is given. The choices are the same
// whatever the thread count.
BuildOutcome ChoosePlacements(const CBmp& source, int mosaicHeight, const TileSet& tiles,
                              const BuildOptions& options, ProgressWindow& progress,
                              const std::function<void(const PlacedTile&)>& place,
                              TileUseRecord* record = nullptr, int threads = WorkerThreadCount());

// Fills mosaic from tiles (which must hold at least one tile), stepping
// progress once per cell and placement; returns kAborted when the window's
// Abort stopped it (kAbortedBeforePainting when no cell was painted yet),
// else kCompleted.
BuildOutcome PaintMosaic(const CBmp& source, CBmp& mosaic, const TileSet& tiles,
                         const BuildOptions& options, ProgressWindow& progress,
                         TileUseRecord* record = nullptr, int threads = WorkerThreadCount());

}  // namespace tesselor
