#include "engine/colour_gains.h"

#include <memory>
#include <mutex>

namespace tesselor {

namespace {

double ChannelGain(int cellAverage, uint8_t tileAverage, int colourAdjust) {
  const auto [lo, hi] = GainRangeFor(colourAdjust);
  double gain;
  if (tileAverage == 0)
    gain = cellAverage > 0 ? hi : lo;
  else
    gain = static_cast<double>(cellAverage) / tileAverage;
  return gain < lo ? lo : (gain > hi ? hi : gain);
}

}  // namespace

ColourGains GainsFor(const std::array<int, kChannels>& cellAverage,
                     const std::array<uint8_t, kChannels>& tileAverage, int colourAdjust) {
  ColourGains gains;
  for (int c = 0; c < kChannels; ++c)
    gains.channel[c] = ChannelGain(cellAverage[c], tileAverage[c], colourAdjust);
  return gains;
}

GainTable::GainTable(int colourAdjust) : gain_(256 * 256) {
  for (int cell = 0; cell < 256; ++cell)
    for (int tile = 0; tile < 256; ++tile)
      gain_[static_cast<size_t>(cell * 256 + tile)] =
          ChannelGain(cell, static_cast<uint8_t>(tile), colourAdjust);
}

const GainTable* GainTable::For(int colourAdjust) {
  if (colourAdjust < 0 || colourAdjust > kMostColourAdjust) return nullptr;
  static std::array<std::once_flag, kMostColourAdjust + 1> made;
  static std::array<std::unique_ptr<GainTable>, kMostColourAdjust + 1> tables;
  const auto slot = static_cast<size_t>(colourAdjust);
  std::call_once(made[slot], [&] { tables[slot] = std::make_unique<GainTable>(colourAdjust); });
  return tables[slot].get();
}

}  // namespace tesselor
