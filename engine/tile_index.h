// Finds the best-scoring tiles of a cell while scoring only the few that can
// be among them. A tile's score is never below the summed differences of the
// averages, and that sum is never below the difference of the averages'
// totals, so tiles are visited by how close their total is to the cell's and
// the visit stops once no further tile can beat the last place that matters.
#pragma once

#include <vector>

#include "engine/choose_tile.h"
#include "engine/lab_colour.h"
#include "engine/lightness_floor.h"
#include "engine/mosaic_settings.h"
#include "engine/tile_set.h"

namespace tesselor {

class TileIndex {
 public:
  // Indexes tiles 0 to tiles.Count() - 1 for a build sampling every
  // accuracyStep-th column and row and comparing colours by metric. In Lab
  // a score is never below the distance of the average colours, which is
  // never below the gap of their lightness, so tiles are visited by
  // lightness there.
  TileIndex(const TileSet& tiles, int accuracyStep, ColourMetric metric = ColourMetric::kRgb);

  // The first `wanted` slots (1 to kCandidateSlots) and the overall best of
  // the list RankTiles would build for cell, slot for slot; later slots may
  // differ. Tiles in seeds are scored first, and on return seeds holds the
  // tiles of those slots: neighbouring cells mostly share their best tiles,
  // so seeds handed from one cell to the next set a tight limit before the
  // walk begins. The list does not depend on the seeds.
  CandidateList Rank(const CellBuffer& cell, int colourAdjust, int wanted,
                     std::vector<int>* seeds = nullptr) const;

  // The `wanted` best tiles for cell (any number, fewer when fewer are left),
  // best first, equal scores in table order, every score listed. Tiles whose
  // photo's byte in excluded (one per photo) is set take no part. seeds as
  // for Rank: on return it holds the tiles listed.
  std::vector<Candidate> RankDeep(const CellBuffer& cell, int colourAdjust, int wanted,
                                  const std::vector<uint8_t>* excluded = nullptr,
                                  std::vector<int>* seeds = nullptr) const;

 private:
  struct Entry {
    double key;  // rgb: red + green + blue averages; lab: lightness of the average
    int tile;
    int photo;
    std::array<uint8_t, kChannels> average;  // kept here to spare a visit to the tile
  };

  // One channel's compared samples of a tile or cell: their mean, mean
  // absolute deviation from it, and largest value.
  struct Spread {
    double mean;
    double deviation;
    int largest;
  };
  using Spreads = std::array<Spread, kChannels>;
  static Spreads SpreadsOf(const uint8_t* samples, int samplesPerChannel);
  // A floor under the sample term of a tile's score (the summed differences
  // over the samples), from the spreads alone.
  static double SampleTermFloor(const Spreads& tile, const Spreads& cell, const ColourGains& gains);

  // Tiles are screened kScanBlock at a time: bit i of the result is set when
  // the averages of the tile at key position first + i are within limit
  // (summed absolute differences) of the cell's.
  static constexpr size_t kScanBlock = 16;
  uint32_t CloseAverages(size_t first, const std::array<int, kChannels>& cellAverage,
                         double limit) const;
  // Whether WithinSpreadFloor may screen: the processor has AVX2, there is
  // a gain table (cell averages are bytes) and a limit.
  static bool SpreadScreenApplies(const GainTable* gainTable, double limit);
  // Clears the bits of close whose tiles the spread floor puts over limit:
  // SampleTermFloor with gainTable's gains, four tiles at a time. Only
  // where SpreadScreenApplies.
  uint32_t WithinSpreadFloor(size_t first, uint32_t close,
                             const std::array<int, kChannels>& cellAverage, const Spreads& cell,
                             const GainTable& gainTable, double limit) const;
  // The same for the Lab metric: the Delta-E of the average colours, each
  // left in distances, against limit as the least float not below it.
  uint32_t CloseLabAverages(size_t first, const LabColour& cellAverage, float limit,
                            std::array<float, kScanBlock>& distances) const;

  template <class List>
  void Walk(const CellBuffer& cell, int colourAdjust, const std::vector<uint8_t>* excluded,
            const std::vector<int>* seeds, List& list) const;

  // Sums the absolute differences of the adjusted tile samples from the cell
  // samples, giving up (returning infinity) once the score
  // averageDifference + sum / samples must exceed limit.
  double SampleDifference(const uint8_t* tileSamples, const uint8_t* cellSamples,
                          const ColourGains& gains, int averageDifference, double limit) const;
  // Room for one tile's samples in Lab while a cell's walk scores it.
  struct LabScratch {
    std::vector<LabBatchStart> starts;
    std::vector<LabBatch> tiles;
    std::vector<double> lightnessFrom;  // one more than the batches
  };
  // The same in Lab: the summed Delta-E of the adjusted tile samples from the
  // cell's, or infinity once the score must exceed limit.
  double LabSampleDifference(const uint8_t* tileSamples, const LabBatch* cellSamples,
                             const ColourGains& gains, double averageDistance, double limit,
                             LabScratch& scratch) const;
  // Whether LightnessGapFloor over the first samples of the tile at key
  // position k, against the cell's (cellLightness: lightness plus 16, in a
  // row), already puts its score over limit.
  bool LightnessRulesOut(size_t k, const float* cellLightness, const ColourGains& gains,
                         double averageDistance, double limit) const;

  int tileSize_;
  int step_;
  int samplesPerChannel_;
  ColourMetric metric_;
  // Everything the walk reads lies in key order, so that it reads memory
  // outward from the cell's key instead of jumping about the tile table.
  std::vector<Entry> byKey_;         // ascending by key, then by table order
  std::vector<size_t> keyPosition_;  // by tile: its place in byKey_
  // The sampled values of byKey_[k]: red, green, blue runs of
  // samplesPerChannel_ bytes each, in the order the samples are compared.
  std::vector<uint8_t> samples_;
  // The averages in Lab, one run per component in key order, for the Lab
  // metric only.
  std::array<std::vector<float>, kChannels> averageLab_;
  // For LightnessGapFloor, Lab metric only: the lightness plus 16 of the
  // first kGapFloorSamples samples (or all, if fewer) of each tile in key
  // order, as they are and with two taken off each byte.
  std::vector<float> lightness_;
  std::vector<float> lightnessLessTwo_;
  // The same values tile across rather than tile by tile, and the inverse
  // averages, as WithinLightnessFloor reads sixteen tiles of them at once:
  // kFloorScreenPlanes runs in key order, floorPlaneStride_ apart. Both
  // layouts are kept: without AVX2 every tile is floored alone, and
  // gathering its values from the planes made that path a quarter slower.
  std::vector<float> floorPlanes_;
  size_t floorPlaneStride_ = 0;
  // Appends both for the tile at key position k, whose sample runs start
  // at samples, and fills its place in the planes.
  void AddFloorLightness(size_t k, const uint8_t* samples);
  // The spreads of each channel, one run per field in key order, for the rgb
  // metric only (largest held as a double, as the floor compares it).
  struct SpreadPlanes {
    std::array<std::vector<double>, kChannels> mean;
    std::array<std::vector<double>, kChannels> deviation;
    std::array<std::vector<double>, kChannels> largest;
  };
  SpreadPlanes spreads_;
  Spreads SpreadsAt(size_t k) const;
  // The averages again, one run per channel in key order, for the screening.
  std::array<std::vector<uint8_t>, kChannels> averagePlanes_;
};

}  // namespace tesselor
