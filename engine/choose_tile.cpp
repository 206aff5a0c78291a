#include "engine/choose_tile.h"

#include <algorithm>
#include <cstdlib>

#include "engine/tile_index.h"

namespace tesselor {

void FillCellBuffer(const CBmp& source, int mosaicHeight, int x, int y, int tileSize,
                    CellBuffer& cell) {
  // Map the cell to source coordinates through the mosaic's scale.
  const double ratio = static_cast<double>(mosaicHeight) / source.height;
  const int64_t scaledWidth = std::max<int64_t>(1, static_cast<int64_t>(source.width * ratio));
  const int64_t scaledHeight = std::max<int64_t>(1, static_cast<int64_t>(source.height * ratio));

  cell.size = tileSize;
  // The source line of each of the cell's rows, worked out once rather than
  // once per sample: the divisions cost more than the copying.
  std::array<int64_t, kTileEdge> lines;
  for (int v = 0; v < tileSize; ++v) lines[v] = (int64_t{y} + v) * source.height / scaledHeight;
  std::array<uint8_t, kChannels> colour{};  // black until a sample lands inside the photograph
  std::array<int, kChannels> sum{};
  for (int u = 0; u < tileSize; ++u) {
    const int64_t column = (int64_t{x} + u) * source.width / scaledWidth;
    for (int v = 0; v < tileSize; ++v) {
      const int64_t line = lines[v];
      if (line < source.height && column < source.width) {
        const uint8_t* pixel = source.lineArray[line] + 4 * column;
        for (int c = 0; c < kChannels; ++c) colour[c] = pixel[PixelOffset(c)];
      }
      for (int c = 0; c < kChannels; ++c) {
        cell.planes[c][v * tileSize + u] = colour[c];
        sum[c] += colour[c];
      }
    }
  }
  for (int c = 0; c < kChannels; ++c) cell.average[c] = sum[c] / (tileSize * tileSize);
}

TileChoice ChooseTile(const CBmp& source, int mosaicHeight, const TileIndex& index, int tileCount,
                      int colourAdjust, int randomization, int tileSize, int x, int y, int draw) {
  CellBuffer cell;
  FillCellBuffer(source, mosaicHeight, x, y, tileSize, cell);
  return ChooseTileForCell(cell, index, tileCount, colourAdjust, randomization, draw);
}

TileChoice ChooseTileForCell(const CellBuffer& cell, const TileIndex& index, int tileCount,
                             int colourAdjust, int randomization, int draw,
                             std::vector<int>* seeds) {
  const CandidateList list =
      index.Rank(cell, colourAdjust, PickableSlots(tileCount, randomization), seeds);
  return PickCandidate(list, tileCount, randomization, draw);
}

}  // namespace tesselor
