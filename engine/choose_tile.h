// Choosing the tile for one cell of the mosaic: the cell is sampled from the
// photograph, every tile is scored against it, and one of the best is drawn.
// Scoring reads the photograph only, so cells can be ranked in any order; the
// draw is the only step that depends on the sequence of cells.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/candidate_list.h"
#include "engine/colour_gains.h"
#include "engine/tile_set.h"
#include "imagelib/bmp.h"

namespace tesselor {

// The photograph's colours under one cell, in the tile planes' layout
// (byte v x n + u for column u, row v), with their per-channel averages.
struct CellBuffer {
  int size = 0;
  // Only the first size x size bytes of each plane are filled and read, so
  // the rest is left as it comes (zeroing 12 KB per cell shows in a build).
  std::array<std::array<uint8_t, 64 * 64>, kChannels> planes;
  std::array<int, kChannels> average{};

  uint8_t Value(int channel, int u, int v) const { return planes[channel][v * size + u]; }
};

// Samples the cell whose top-left corner is (x, y) in a mosaic of
// mosaicHeight lines. Samples beyond the photograph repeat the previous
// sample's colour (black before the first one inside).
void FillCellBuffer(const CBmp& source, int mosaicHeight, int x, int y, int tileSize,
                    CellBuffer& cell);

// GainsFor from the averages of cell and tile.
inline ColourGains GainsFor(const std::array<int, kChannels>& cellAverage, const TileBuffer& tile,
                            int colourAdjust) {
  return GainsFor(cellAverage, {tile.Average(0), tile.Average(1), tile.Average(2)}, colourAdjust);
}
inline ColourGains GainsFor(const CellBuffer& cell, const TileBuffer& tile, int colourAdjust) {
  return GainsFor(cell.average, tile, colourAdjust);
}

class TileIndex;

// Ranks the tiles for the cell at (x, y) of a mosaic of mosaicHeight lines
// and picks one of the best with draw. Reads the photograph and the tiles
// only, so cells can be chosen on several threads at once.
TileChoice ChooseTile(const CBmp& source, int mosaicHeight, const TileIndex& index, int tileCount,
                      int colourAdjust, int randomization, int tileSize, int x, int y, int draw);
// The same for a cell already sampled. The gains it returns are always
// GainsFor(cell, the chosen tile, colourAdjust). seeds is TileIndex::Rank's.
TileChoice ChooseTileForCell(const CellBuffer& cell, const TileIndex& index, int tileCount,
                             int colourAdjust, int randomization, int draw,
                             std::vector<int>* seeds = nullptr);

}  // namespace tesselor
