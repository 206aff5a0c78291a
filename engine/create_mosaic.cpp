#include "engine/create_mosaic.h"

#include <stdexcept>

#include "engine/load_tile_set.h"
#include "engine/mosaic_passes.h"
#include "engine/stream_mosaic.h"
#include "engine/tile_set.h"
#include "platform/app_paths.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

bool IsUsable32BitBitmap(const CBmp& bmp) {
  return bmp.bitsPerPixel == 32 && bmp.width > 0 && bmp.height > 0 && bmp.lineArray;
}

// The engine indexes planes and pixels from these values, so a caller's
// mistake is refused here instead of becoming a stray read or write.
void CheckBuildInputs(const CBmp& source, const BuildOptions& options) {
  if (!IsUsable32BitBitmap(source)) throw std::invalid_argument("a build needs a 32-bit source");
  if (options.tileSize < 1 || options.tileSize > kTileEdge || options.accuracyStep < 1)
    throw std::invalid_argument("tile size or accuracy step out of range");
  if (!(options.magnification > 0.0) || options.blendFraction < 0.0 || options.blendFraction > 1.0)
    throw std::invalid_argument("magnification or blend out of range");
  if (options.variety.minDistance < 0 || options.variety.maxUses < 0)
    throw std::invalid_argument("minimum distance or repetition limit below 0");
}

// Loading worked in the library directory; go back to the folder the
// photograph came from, or to where the build started when there is none.
void ReturnFromLibraryDirectory(const std::string& startDirectory) {
  if (!ChangeDirectory(Paths().imageDirectory)) ChangeDirectory(startDirectory);
}

// Loads the tiles, then paints with them under a new progress window.
template <class Paint>
BuildOutcome BuildWithLibrary(const BuildOptions& options, BuildReport* report, Paint paint) {
  const WaitCursor waitCursor;
  const std::string startDirectory = CurrentDirectory();

  TileSet tiles(options.allTiles ? kNoTileLimit : kTileSetCapacity);
  int photosLeftOut = 0;
  const int loaded = LoadTileSet(tiles, options.tileSize, options.mirrorTiles, &photosLeftOut,
                                 options.useTileCache);
  if (report) report->photosLeftOut = photosLeftOut;
  if (loaded < 0) {
    ReturnFromLibraryDirectory(startDirectory);
    return BuildOutcome::kNoTiles;
  }
  const std::unique_ptr<ProgressWindow> progress = Shell::Instance().CreateProgressWindow();
  ReturnFromLibraryDirectory(startDirectory);
  return paint(tiles, *progress);
}

}  // namespace

BuildOutcome CreateMosaic(const CBmp& source, CBmp& mosaic, const BuildOptions& options,
                          BuildReport* report) {
  CheckBuildInputs(source, options);
  if (!IsUsable32BitBitmap(mosaic)) throw std::invalid_argument("a build needs a 32-bit mosaic");
  return BuildWithLibrary(options, report, [&](const TileSet& tiles, ProgressWindow& progress) {
    return PaintMosaic(source, mosaic, tiles, options, progress,
                       report ? &report->tilesUsed : nullptr);
  });
}

BuildOutcome CreateMosaicStreamed(const CBmp& source, const BuildOptions& options, RowSink& sink,
                                  BuildReport* report) {
  CheckBuildInputs(source, options);
  return BuildWithLibrary(options, report, [&](const TileSet& tiles, ProgressWindow& progress) {
    return StreamMosaic(source, tiles, options, progress, sink,
                        report ? &report->tilesUsed : nullptr);
  });
}

}  // namespace tesselor
