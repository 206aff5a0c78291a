// The build for mosaics that go straight to a file: every placement is chosen
// first and kept in a few bytes, then the mosaic is painted and handed on a
// band of lines at a time, so memory holds the tiles and one band, never the
// whole mosaic. The lines come out as the build into a bitmap paints them.
#pragma once

#include "engine/build_outcome.h"
#include "engine/mosaic_settings.h"
#include "engine/tile_set.h"
#include "imagelib/bmp.h"
#include "imagelib/row_sink.h"
#include "platform/progress_window.h"

namespace tesselor {

// Paints the mosaic of source at options.magnification from tiles (at least
// one) into sink, top line first. Choosing steps progress as PaintMosaic does
// and stops at Abort; writing then goes on with what was chosen, so an
// aborted build still hands over every line, unchosen cells left black,
// unless nothing was chosen (kAbortedBeforePainting), when nothing is sent.
// The tiles chosen go into record when one is given.
BuildOutcome StreamMosaic(const CBmp& source, const TileSet& tiles, const BuildOptions& options,
                          ProgressWindow& progress, RowSink& sink, TileUseRecord* record = nullptr);

}  // namespace tesselor
