#include "engine/mosaic_passes.h"

#include <vector>

#include "engine/choose_tile.h"
#include "engine/ordered_parallel.h"
#include "engine/paint_tile.h"
#include "engine/tile_index.h"
#include "platform/message_pump.h"
#include "platform/random.h"

namespace tesselor {

namespace {

// One tile to place: where, and the draw its pick uses.
struct Placement {
  int x;
  int y;
  int draw;
};

// Choices may run this far ahead of the painting; each waits as a few bytes.
constexpr int kChoiceWindow = 1024;

// Every placement of the build with the draws it gets when the build runs
// in sequence: one per grid cell (columns outer, rows inner), then for each
// random placement y, x and the pick.
std::vector<Placement> PlanPlacements(const MosaicGrid& grid, int outWidth, int outHeight,
                                      int tileSize, bool randomPlacement, RandomGenerator random) {
  std::vector<Placement> plan;
  plan.reserve(static_cast<size_t>(randomPlacement ? 2 * grid.Cells() : grid.Cells()));
  for (int i = 0; i < grid.columns; ++i)
    for (int j = 0; j < grid.rows; ++j) plan.push_back({i * tileSize, j * tileSize, random.Next()});
  if (!randomPlacement) return plan;
  for (int64_t k = 0; k < grid.Cells(); ++k) {
    const auto y = static_cast<int>(int64_t{random.Next()} * outHeight / kRandMax);
    const auto x = static_cast<int>(int64_t{random.Next()} * outWidth / kRandMax);
    plan.push_back({x, y, random.Next()});
  }
  return plan;
}

// Moves the program's generator on by the draws the build actually made, so
// a later build goes on with the same sequence as after a build in order.
void ConsumeDraws(int64_t draws) {
  for (int64_t k = 0; k < draws; ++k) ProgramRandom().Next();
}

}  // namespace

MosaicSize MosaicSizeFor(const CBmp& source, double magnification) {
  return {static_cast<int>(source.width * magnification),
          static_cast<int>(source.height * magnification)};
}

MosaicGrid GridFor(int outWidth, int outHeight, int tileSize) {
  return {outWidth / tileSize + 1, outHeight / tileSize + 1};
}

BuildOutcome ChoosePlacements(const CBmp& source, int mosaicHeight, const TileSet& tiles,
                              const BuildOptions& options, ProgressWindow& progress,
                              const std::function<void(const PlacedTile&)>& place) {
  const int n = options.tileSize;
  const MosaicSize out = MosaicSizeFor(source, options.magnification);
  const int outWidth = out.width;
  const int outHeight = out.height;
  const MosaicGrid grid = GridFor(outWidth, outHeight, n);
  const int64_t cells = grid.Cells();

  progress.SetRange(0, options.randomPlacement ? 2 * cells : cells);
  progress.SetPos(0);
  progress.SetStatusText("Creating image mosaic ...");

  // Choosing reads only the photograph and the tiles, so every placement is
  // chosen ahead on all cores; painting, progress and Abort stay in order.
  const std::vector<Placement> plan =
      PlanPlacements(grid, outWidth, outHeight, n, options.randomPlacement, ProgramRandom());
  const TileIndex index(tiles, options.accuracyStep);
  OrderedParallel<PlacedTile> choices(
      static_cast<int64_t>(plan.size()),
      [&](int64_t k) {
        const Placement& p = plan[static_cast<size_t>(k)];
        CellBuffer cell;
        FillCellBuffer(source, mosaicHeight, p.x, p.y, n, cell);
        return PlacedTile{p.x, p.y,
                          ChooseTileForCell(cell, index, tiles.Count(), options.colourAdjust,
                                            options.randomization, p.draw),
                          cell.average};
      },
      kChoiceWindow);

  MessagePump pump;
  const auto placeNext = [&] {
    place(choices.TakeNext([] { PumpMessages(); }));
    pump.Tick();
  };
  BuildOutcome outcome = BuildOutcome::kCompleted;
  int64_t draws = 0;
  for (int64_t k = 0; k < cells; ++k) {
    progress.StepIt();
    if (progress.AbortRequested()) {
      outcome = k == 0 ? BuildOutcome::kAbortedBeforePainting : BuildOutcome::kAborted;
      break;
    }
    placeNext();
    draws += 1;
  }
  // As many tiles again, anywhere over the mosaic; each may hang over the
  // right or bottom edge. The one at which Abort is seen is still placed.
  if (outcome == BuildOutcome::kCompleted && options.randomPlacement) {
    for (int64_t k = 0; k < cells; ++k) {
      progress.StepIt();
      const bool last = progress.AbortRequested();
      placeNext();
      draws += 3;
      if (last) {
        outcome = BuildOutcome::kAborted;
        break;
      }
    }
  }
  ConsumeDraws(draws);
  return outcome;
}

BuildOutcome PaintMosaic(const CBmp& source, CBmp& mosaic, const TileSet& tiles,
                         const BuildOptions& options, ProgressWindow& progress) {
  const MosaicBand whole = WholeMosaic(mosaic);
  return ChoosePlacements(source, mosaic.height, tiles, options, progress,
                          [&](const PlacedTile& placed) {
                            PaintTile(source, whole, tiles, placed.choice.tile, placed.x, placed.y,
                                      options.tileSize, placed.choice.gains, options.blendFraction);
                          });
}

}  // namespace tesselor
