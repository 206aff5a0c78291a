// Inputs for the benchmarks: a photograph and a tile set, either synthetic
// (reproducible, no files) or loaded from disk as a build would.
#pragma once

#include <string>

#include "engine/tile_set.h"
#include "imagelib/draw_dib_bmp.h"

namespace tesselor::bench {

// A tile set of `tiles` tiles of size n with varied averages and texture.
void SyntheticTiles(int n, int tiles, TileSet& set);
// A width x height photograph with smooth regions and fine detail.
void SyntheticPhoto(int width, int height, CBmp& photo);

// Peak resident memory of this process so far, in bytes.
long PeakMemoryBytes();

}  // namespace tesselor::bench
