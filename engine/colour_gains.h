// The factors that pull a tile's colours toward the cell it is placed in,
// used alike when the tile is scored against the cell and when it is painted.
#pragma once

#include <array>
#include <cstdint>

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

// Each channel's gain, cell average over tile average, held within
// 1 -/+ colourAdjust percent.
ColourGains GainsFor(const std::array<int, kChannels>& cellAverage,
                     const std::array<uint8_t, kChannels>& tileAverage, int colourAdjust);

}  // namespace tesselor
