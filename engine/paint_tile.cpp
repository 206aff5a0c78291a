#include "engine/paint_tile.h"

namespace tesselor {

void PaintTile(const CBmp& source, const MosaicBand& band, const TileSet& tiles, int tileIndex,
               int x, int y, int tileSize, const ColourGains& gains, double blendFraction) {
  const TileBuffer& tile = tiles[tileIndex];
  const double ratio = static_cast<double>(band.height) / source.height;
  const int64_t endLine = int64_t{band.firstLine} + band.lineCount;
  const bool blend = blendFraction != 0.0;
  // The percentage actually used: 0.29 x 100 falls just below 29 and gives 28.
  const int percent = blend ? static_cast<int>(blendFraction * 100) : 0;
  // Black until a sample lands inside the photograph. It carries over from
  // pixel to pixel, so every pixel of the tile is followed, in the band or not.
  std::array<int, kChannels> sourceColour{};

  for (int u = 0; u < tileSize; ++u) {
    const int64_t px = int64_t{x} + u;
    for (int v = 0; v < tileSize; ++v) {
      const int64_t py = int64_t{y} + v;
      std::array<int, kChannels> colour;
      for (int c = 0; c < kChannels; ++c)
        colour[c] = AdjustedValue(tile.Value(c, u, v), gains.channel[c]);
      if (blend) {
        const auto sourceX = static_cast<int64_t>(px / ratio);
        const auto sourceY = static_cast<int64_t>(py / ratio);
        if (sourceX < source.width && sourceY < source.height) {
          const uint8_t* pixel = source.lineArray[sourceY] + 4 * sourceX;
          for (int c = 0; c < kChannels; ++c) sourceColour[c] = pixel[PixelOffset(c)];
        }
        for (int c = 0; c < kChannels; ++c)
          colour[c] = (percent * sourceColour[c] + (100 - percent) * colour[c]) / 100;
      }
      if (py >= band.firstLine && py < endLine && py < band.height && px < band.width) {
        uint8_t* pixel = band.lines[py - band.firstLine] + 4 * px;
        for (int c = 0; c < kChannels; ++c) pixel[PixelOffset(c)] = static_cast<uint8_t>(colour[c]);
      }
    }
  }
}

}  // namespace tesselor
