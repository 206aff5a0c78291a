#include "engine/choose_tile.h"

#include <algorithm>
#include <cstdlib>

#include "engine/tile_index.h"
#include "platform/random.h"

namespace tesselor {

void FillCellBuffer(const CBmp& source, int mosaicHeight, int x, int y, int tileSize,
                    CellBuffer& cell) {
  // Map the cell to source coordinates through the mosaic's scale.
  const double ratio = static_cast<double>(mosaicHeight) / source.height;
  const int64_t scaledWidth = std::max<int64_t>(1, static_cast<int64_t>(source.width * ratio));
  const int64_t scaledHeight = std::max<int64_t>(1, static_cast<int64_t>(source.height * ratio));

  cell.size = tileSize;
  std::array<uint8_t, kChannels> colour{};  // black until a sample lands inside the photograph
  std::array<int, kChannels> sum{};
  for (int u = 0; u < tileSize; ++u) {
    const int64_t column = (int64_t{x} + u) * source.width / scaledWidth;
    for (int v = 0; v < tileSize; ++v) {
      const int64_t line = (int64_t{y} + v) * source.height / scaledHeight;
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

ColourGains GainsFor(const std::array<int, kChannels>& cellAverage, const TileBuffer& tile,
                     int colourAdjust) {
  const double lo = 1 - colourAdjust * 0.01;
  const double hi = 1 + colourAdjust * 0.01;
  ColourGains gains;
  for (int c = 0; c < kChannels; ++c) {
    const int tileAverage = tile.Average(c);
    double gain;
    if (tileAverage == 0)
      gain = cellAverage[c] > 0 ? hi : lo;
    else
      gain = static_cast<double>(cellAverage[c]) / tileAverage;
    gains.channel[c] = gain < lo ? lo : (gain > hi ? hi : gain);
  }
  return gains;
}

namespace {
// Lower scores first; among equal scores the tile earlier in the table. Tiles
// inserted in table order therefore queue behind equal scores already listed.
bool Precedes(double score, int tile, const Candidate& other) {
  return score < other.score || (score == other.score && other.tile >= 0 && tile < other.tile);
}
}  // namespace

void CandidateList::Insert(double score, int tile, const ColourGains& gains) {
  if (Precedes(score, tile, bestOverall_)) bestOverall_ = {score, tile, gains};
  for (size_t slot = 0; slot < slots_.size(); ++slot) {
    if (Precedes(score, tile, slots_[slot])) {
      std::move_backward(slots_.begin() + static_cast<std::ptrdiff_t>(slot), slots_.end() - 1,
                         slots_.end());
      slots_[slot] = {score, tile, gains};
      return;
    }
  }
}

TileChoice PickCandidate(const CandidateList& list, int tileCount, int randomization, int draw) {
  int64_t position = int64_t{randomization} * draw / kRandMax;
  if (position >= tileCount) position = tileCount - 1;
  // A randomization larger than the list still stays inside it, and an empty
  // slot is never handed out (it names no tile).
  position = std::clamp<int64_t>(position, 0, kCandidateSlots - 1);
  for (; position >= 0; --position) {
    const Candidate& slot = list.Slot(static_cast<int>(position));
    if (slot.tile >= 0) return {slot.tile, slot.gains};
  }
  return {list.BestOverall().tile, list.BestOverall().gains};
}

int PickableSlots(int tileCount, int randomization) {
  return std::clamp(std::min(randomization, tileCount - 1), 0, kCandidateSlots - 1) + 1;
}

TileChoice ChooseTile(const CBmp& source, int mosaicHeight, const TileIndex& index, int tileCount,
                      int colourAdjust, int randomization, int tileSize, int x, int y, int draw) {
  CellBuffer cell;
  FillCellBuffer(source, mosaicHeight, x, y, tileSize, cell);
  return ChooseTileForCell(cell, index, tileCount, colourAdjust, randomization, draw);
}

TileChoice ChooseTileForCell(const CellBuffer& cell, const TileIndex& index, int tileCount,
                             int colourAdjust, int randomization, int draw) {
  const CandidateList list =
      index.Rank(cell, colourAdjust, PickableSlots(tileCount, randomization));
  return PickCandidate(list, tileCount, randomization, draw);
}

}  // namespace tesselor
