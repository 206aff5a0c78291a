// How a build ended and what it tells its caller beyond that: shared by the
// whole-mosaic and streamed builds, their passes and the document.
#pragma once

#include "engine/tile_use_record.h"

namespace tesselor {

enum class BuildOutcome {
  kNoTiles,    // the library gave no tile; nothing was painted
  kCompleted,  // every cell (and random placement) was painted
  kAborted,    // the user stopped it; what was painted stays
  // The user stopped it before the first cell (while tiles loaded, say):
  // nothing was painted, so there is no mosaic to keep.
  kAbortedBeforePainting,
};

// What a build tells its caller beyond the outcome.
struct BuildReport {
  // Tile files of the library the tile cap kept out of the build.
  int photosLeftOut = 0;
  // Every tile painted, and how often the variety rules could not be kept.
  TileUseRecord tilesUsed;
};

}  // namespace tesselor
