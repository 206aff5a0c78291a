// Finds the best-scoring tiles of a cell while scoring only the few that can
// be among them. A tile's score is never below the summed differences of the
// averages, and that sum is never below the difference of the averages'
// totals, so tiles are visited by how close their total is to the cell's and
// the visit stops once no further tile can beat the last place that matters.
#pragma once

#include <vector>

#include "engine/choose_tile.h"
#include "engine/tile_set.h"

namespace tesselor {

class TileIndex {
 public:
  // Indexes tiles 0 to tiles.Count() - 1 for a build sampling every
  // accuracyStep-th column and row.
  TileIndex(const TileSet& tiles, int accuracyStep);

  // The first `wanted` slots (1 to kCandidateSlots) and the overall best of
  // the list RankTiles would build for cell, slot for slot; later slots may
  // differ.
  CandidateList Rank(const CellBuffer& cell, int colourAdjust, int wanted) const;

 private:
  struct Entry {
    int averageTotal;  // red + green + blue averages
    int tile;
    std::array<uint8_t, kChannels> average;  // kept here to spare a visit to the tile
  };

  // Sums the absolute differences of the adjusted tile samples from the cell
  // samples, giving up (returning a value that scores above limit) once the
  // score averageDifference + sum / samples must exceed limit.
  int SampleDifference(const uint8_t* tileSamples, const uint8_t* cellSamples,
                       const ColourGains& gains, int averageDifference, double limit) const;

  const TileSet& tiles_;
  int tileSize_;
  int step_;
  int samplesPerChannel_;
  std::vector<Entry> byTotal_;  // ascending by total, then by table order
  // Tile t's sampled values: red, green, blue runs of samplesPerChannel_
  // bytes each, in the order the samples are compared.
  std::vector<uint8_t> samples_;
};

}  // namespace tesselor
