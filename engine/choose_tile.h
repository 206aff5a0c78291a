// Choosing the tile for one cell of the mosaic: the cell is sampled from the
// photograph, every tile is scored against it, and one of the best is drawn.
// Scoring reads the photograph only, so cells can be ranked in any order; the
// draw is the only step that depends on the sequence of cells.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "engine/tile_set.h"
#include "imagelib/bmp.h"

namespace tesselor {

// Factors for a tile's red, green and blue values, used alike when it is
// compared with a cell and when it is painted.
struct ColourGains {
  std::array<double, kChannels> channel{1.0, 1.0, 1.0};
};

// A tile value times its gain, truncated and held to a byte.
inline int AdjustedValue(uint8_t value, double gain) {
  const int adjusted = static_cast<int>(value * gain);
  return adjusted < 0 ? 0 : (adjusted > 255 ? 255 : adjusted);
}

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

// Each channel's gain, cell average over tile average, held within
// 1 -/+ colourAdjust percent.
ColourGains GainsFor(const std::array<int, kChannels>& cellAverage, const TileBuffer& tile,
                     int colourAdjust);
inline ColourGains GainsFor(const CellBuffer& cell, const TileBuffer& tile, int colourAdjust) {
  return GainsFor(cell.average, tile, colourAdjust);
}

constexpr int kCandidateSlots = 50;
// The score of an empty slot; a tile must score below it to be listed.
constexpr double kUnlistedScore = 1000.0;

struct Candidate {
  double score = kUnlistedScore;
  int tile = -1;  // -1: empty slot
  ColourGains gains;
};

// The best-scoring tiles of one cell, best first. Equal scores keep table
// order, whatever order the tiles are inserted in. It also remembers the
// single best tile whatever its score, for cells that no tile matches well
// enough to be listed.
class CandidateList {
 public:
  void Insert(double score, int tile, const ColourGains& gains);

  const Candidate& Slot(int position) const { return slots_[static_cast<size_t>(position)]; }
  const Candidate& BestOverall() const { return bestOverall_; }

 private:
  std::array<Candidate, kCandidateSlots> slots_{};
  Candidate bestOverall_{std::numeric_limits<double>::infinity(), -1, {}};
};

struct TileChoice {
  int tile = -1;
  ColourGains gains;
};

// The listed tile a draw (0 to 32767) takes: position randomization x draw /
// 32767, kept within the tiles and the list; a position past the listed
// tiles takes the last one listed.
TileChoice PickCandidate(const CandidateList& list, int tileCount, int randomization, int draw);

// How many candidate slots a pick can reach: the draw lands on positions 0
// to randomization, and never past the tiles or the list.
int PickableSlots(int tileCount, int randomization);

class TileIndex;

// Ranks the tiles for the cell at (x, y) of a mosaic of mosaicHeight lines
// and picks one of the best with draw. Reads the photograph and the tiles
// only, so cells can be chosen on several threads at once.
TileChoice ChooseTile(const CBmp& source, int mosaicHeight, const TileIndex& index, int tileCount,
                      int colourAdjust, int randomization, int tileSize, int x, int y, int draw);
// The same for a cell already sampled. The gains it returns are always
// GainsFor(cell, the chosen tile, colourAdjust).
TileChoice ChooseTileForCell(const CellBuffer& cell, const TileIndex& index, int tileCount,
                             int colourAdjust, int randomization, int draw);

}  // namespace tesselor
