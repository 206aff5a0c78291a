#include "engine/mosaic_passes.h"

#include "engine/choose_tile.h"
#include "engine/paint_tile.h"
#include "platform/random.h"

namespace tesselor {

MosaicGrid GridFor(int outWidth, int outHeight, int tileSize) {
  return {outWidth / tileSize + 1, outHeight / tileSize + 1};
}

BuildOutcome PaintMosaic(const CBmp& source, CBmp& mosaic, const TileSet& tiles,
                         const BuildOptions& options, ProgressWindow& progress) {
  const int n = options.tileSize;
  const auto outWidth = static_cast<int>(source.width * options.magnification);
  const auto outHeight = static_cast<int>(source.height * options.magnification);
  const MosaicGrid grid = GridFor(outWidth, outHeight, n);
  const int64_t cells = grid.Cells();

  progress.SetRange(0, options.randomPlacement ? 2 * cells : cells);
  progress.SetPos(0);
  progress.SetStatusText("Creating image mosaic ...");

  const auto place = [&](int x, int y) {
    const TileChoice choice = ChooseTile(source, mosaic, tiles, tiles.Count(), options.colourAdjust,
                                         options.randomization, n, x, y, options.accuracyStep);
    PaintTile(source, mosaic, tiles, choice.tile, x, y, n, choice.gains, options.blendFraction);
  };

  // Columns outer, rows inner: the order decides which draw each cell gets.
  for (int i = 0; i < grid.columns; ++i) {
    for (int j = 0; j < grid.rows; ++j) {
      progress.StepIt();
      if (progress.AbortRequested()) return BuildOutcome::kAborted;
      place(i * n, j * n);
    }
  }
  if (!options.randomPlacement) return BuildOutcome::kCompleted;

  // As many tiles again, anywhere over the mosaic; each may hang over the
  // right or bottom edge. The one at which Abort is seen is still placed.
  for (int64_t k = 0; k < cells; ++k) {
    progress.StepIt();
    const bool last = progress.AbortRequested();
    const auto y = static_cast<int>(int64_t{ProgramRandom().Next()} * outHeight / kRandMax);
    const auto x = static_cast<int>(int64_t{ProgramRandom().Next()} * outWidth / kRandMax);
    place(x, y);
    if (last) return BuildOutcome::kAborted;
  }
  return BuildOutcome::kCompleted;
}

}  // namespace tesselor
