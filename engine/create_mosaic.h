// The build: load the current tile library, fill the grid of cells with the
// best-matching tiles, then (if asked) scatter as many again at random.
#pragma once

#include "engine/build_outcome.h"
#include "engine/mosaic_settings.h"
#include "imagelib/bmp.h"
#include "imagelib/row_sink.h"

namespace tesselor {

// Builds into mosaic, whose size must be the source's times
// options.magnification (truncated). Progress, messages and Abort go through
// the installed Shell; the random draws come from ProgramRandom(). The
// working directory ends as Paths().imageDirectory (or as it was, when that
// is unset). Throws std::invalid_argument for bitmaps that are not 32-bit or
// options outside their ranges. Fills report when one is given.
BuildOutcome CreateMosaic(const CBmp& source, CBmp& mosaic, const BuildOptions& options,
                          BuildReport* report = nullptr);

// The same build with the mosaic handed to sink band by band, top line
// first, instead of held whole: for mosaics that go straight to a file. The
// lines are those CreateMosaic paints; after Abort every line is still
// handed over, the cells not chosen left black, unless Abort came before the
// first cell (kAbortedBeforePainting), when no line is.
BuildOutcome CreateMosaicStreamed(const CBmp& source, const BuildOptions& options, RowSink& sink,
                                  BuildReport* report = nullptr);

}  // namespace tesselor
