#include "engine/create_mosaic.h"

namespace tesselor {

BuildOutcome CreateMosaic(const CBmp&, CBmp&, const BuildOptions&) { return BuildOutcome::kNoTiles; }

}  // namespace tesselor
