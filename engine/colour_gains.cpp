#include "engine/colour_gains.h"

namespace tesselor {

ColourGains GainsFor(const std::array<int, kChannels>& cellAverage,
                     const std::array<uint8_t, kChannels>& tileAverage, int colourAdjust) {
  const double lo = 1 - colourAdjust * 0.01;
  const double hi = 1 + colourAdjust * 0.01;
  ColourGains gains;
  for (int c = 0; c < kChannels; ++c) {
    double gain;
    if (tileAverage[c] == 0)
      gain = cellAverage[c] > 0 ? hi : lo;
    else
      gain = static_cast<double>(cellAverage[c]) / tileAverage[c];
    gains.channel[c] = gain < lo ? lo : (gain > hi ? hi : gain);
  }
  return gains;
}

}  // namespace tesselor
