// The factors that pull a tile's colours toward the cell it is placed in,
// used alike when the tile is scored against the cell and when it is painted.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "library/tile_files.h"

namespace tesselor {

// Factors for a tile's red, green and blue values.
struct ColourGains {
  std::array<double, kChannels> channel{1.0, 1.0, 1.0};
};

// A tile value times its gain, truncated and held to a byte.
inline int AdjustedValue(uint8_t value, double gain) {
  const int adjusted = static_cast<int>(value * gain);
  return adjusted < 0 ? 0 : (adjusted > 255 ? 255 : adjusted);
}

// The least and most gain there is at colourAdjust: 1 -/+ colourAdjust
// percent.
struct GainRange {
  double least;
  double most;
};
inline GainRange GainRangeFor(int colourAdjust) {
  return {1 - colourAdjust * 0.01, 1 + colourAdjust * 0.01};
}

// Each channel's gain, cell average over tile average, held within
// GainRangeFor(colourAdjust).
ColourGains GainsFor(const std::array<int, kChannels>& cellAverage,
                     const std::array<uint8_t, kChannels>& tileAverage, int colourAdjust);

// GainsFor worked out once for every pair of byte averages at one colour
// adjustment: matching asks for the gains of every tile it scores, and a
// look-up costs far less than the three divisions.
class GainTable {
 public:
  explicit GainTable(int colourAdjust);

  // The shared table for colourAdjust 0 to kMostColourAdjust (made on first
  // use, 512 KiB each), or null for another value.
  static const GainTable* For(int colourAdjust);

  // GainsFor(cellAverage, tileAverage, the table's colourAdjust), for cell
  // averages 0 to 255.
  ColourGains Gains(const std::array<int, kChannels>& cellAverage,
                    const std::array<uint8_t, kChannels>& tileAverage) const {
    ColourGains gains;
    for (int c = 0; c < kChannels; ++c) gains.channel[c] = Row(cellAverage[c])[tileAverage[c]];
    return gains;
  }
  // One channel's gains for a cell average of 0 to 255, by tile average.
  const double* Row(int cellAverage) const {
    return gain_.data() + static_cast<size_t>(cellAverage) * 256;
  }

 private:
  static constexpr int kMostColourAdjust = 100;  // the settings' range ends here
  std::vector<double> gain_;                     // by cell average x 256 + tile average
};

}  // namespace tesselor
