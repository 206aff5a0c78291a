#include "engine/stream_mosaic.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/mosaic_passes.h"
#include "engine/paint_tile.h"

namespace tesselor {

namespace {

// A chosen placement as it waits for its band: the tile and the cell
// averages, from which the gains are worked out again exactly.
struct StoredChoice {
  int32_t tile;
  std::array<uint8_t, kChannels> cellAverage;
};

// Lines painted at a time: whole rows of cells, about 64 lines.
int BandLinesFor(int tileSize) {
  return tileSize * std::max(1, 64 / tileSize);
}

// Every chosen placement: grid cells by their index in build order (their
// place follows from it), random placements with their place.
class ChoiceStore {
 public:
  explicit ChoiceStore(const MosaicGrid& grid) : rows_(grid.rows), gridCells_(grid.Cells()) {
    grid_.reserve(static_cast<size_t>(gridCells_));
  }

  // Placements come in build order; the random pass only follows a whole grid.
  void Keep(const PlacedTile& placed) {
    const StoredChoice choice{
        placed.choice.tile,
        {static_cast<uint8_t>(placed.cellAverage[0]), static_cast<uint8_t>(placed.cellAverage[1]),
         static_cast<uint8_t>(placed.cellAverage[2])}};
    if (GridChosen() < gridCells_) {
      grid_.push_back(choice);
    } else {
      scattered_.push_back(choice);
      positions_.push_back({placed.x, placed.y});
    }
  }

  int64_t GridChosen() const { return static_cast<int64_t>(grid_.size()); }
  const StoredChoice& Grid(int column, int row) const {
    return grid_[static_cast<size_t>(int64_t{column} * rows_ + row)];
  }
  size_t Scattered() const { return scattered_.size(); }
  const StoredChoice& ScatteredChoice(size_t k) const { return scattered_[k]; }
  std::pair<int, int> Position(size_t k) const { return positions_[k]; }

 private:
  int rows_;
  int64_t gridCells_;
  std::vector<StoredChoice> grid_;
  std::vector<StoredChoice> scattered_;
  std::vector<std::pair<int, int>> positions_;
};

}  // namespace

BuildOutcome StreamMosaic(const CBmp& source, const TileSet& tiles, const BuildOptions& options,
                          ProgressWindow& progress, RowSink& sink, TileUseRecord* record) {
  const int n = options.tileSize;
  const MosaicSize out = MosaicSizeFor(source, options.magnification);
  const MosaicGrid grid = GridFor(out.width, out.height, n);

  ChoiceStore store(grid);
  const BuildOutcome outcome = ChoosePlacements(
      source, out.height, tiles, options, progress, [&](const PlacedTile& p) { store.Keep(p); },
      record);
  // Nothing painted is nothing to write: the caller keeps what the file held.
  if (outcome == BuildOutcome::kAbortedBeforePainting || out.width < 1 || out.height < 1)
    return outcome;

  // Random placements by the band they start in; a placement reaches at most
  // into the next band, since a band is at least a tile high. Indices stay
  // ascending within each list, which keeps the painting order.
  const int bandLines = BandLinesFor(n);
  const int bands = (out.height + bandLines - 1) / bandLines;
  std::vector<std::vector<uint32_t>> startingIn(static_cast<size_t>(bands));
  for (size_t k = 0; k < store.Scattered(); ++k) {
    const int band = std::min(store.Position(k).second / bandLines, bands - 1);
    startingIn[static_cast<size_t>(band)].push_back(static_cast<uint32_t>(k));
  }

  progress.SetRange(0, out.height);
  progress.SetPos(0);
  progress.SetStatusText("Writing the mosaic ...");
  const int64_t lineBytes = int64_t{4} * out.width;
  std::vector<uint8_t> pixels(static_cast<size_t>(lineBytes * bandLines));
  std::vector<uint8_t*> lines(static_cast<size_t>(bandLines));
  for (int k = 0; k < bandLines; ++k)
    lines[static_cast<size_t>(k)] = &pixels[size_t(k * lineBytes)];

  const auto paint = [&](const MosaicBand& band, const StoredChoice& choice, int x, int y) {
    const TileBuffer& tile = tiles[choice.tile];
    const std::array<int, kChannels> average{choice.cellAverage[0], choice.cellAverage[1],
                                             choice.cellAverage[2]};
    PaintTile(source, band, tiles, choice.tile, x, y, n,
              GainsFor(average, tile, options.colourAdjust), options.blendFraction);
  };

  for (int b = 0; b < bands; ++b) {
    const int firstLine = b * bandLines;
    const MosaicBand band{out.width, out.height, firstLine,
                          std::min(bandLines, out.height - firstLine), lines.data()};
    std::fill(pixels.begin(), pixels.end(), uint8_t{0});  // as a new bitmap starts

    // Grid cells do not overlap, so each band takes its own rows of cells.
    const int firstRow = firstLine / n;
    const int endRow = std::min(grid.rows, (firstLine + bandLines) / n);
    for (int i = 0; i < grid.columns; ++i)
      for (int j = firstRow; j < endRow; ++j) {
        if (int64_t{i} * grid.rows + j >= store.GridChosen()) break;
        paint(band, store.Grid(i, j), i * n, j * n);
      }

    // Then the random placements over the band, in the order they were made.
    static const std::vector<uint32_t> kNone;
    const std::vector<uint32_t>& above = b > 0 ? startingIn[size_t(b - 1)] : kNone;
    const std::vector<uint32_t>& here = startingIn[size_t(b)];
    size_t a = 0, h = 0;
    while (a < above.size() || h < here.size()) {
      const bool fromAbove = h >= here.size() || (a < above.size() && above[a] < here[h]);
      const uint32_t k = fromAbove ? above[a++] : here[h++];
      const auto [x, y] = store.Position(k);
      if (y + n > firstLine) paint(band, store.ScatteredChoice(k), x, y);
    }

    sink.WriteRows(lines.data(), band.lineCount);
    progress.SetPos(firstLine + band.lineCount);
  }
  return outcome;
}

}  // namespace tesselor
