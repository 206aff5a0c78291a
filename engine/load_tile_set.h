// Reading the current tile library into a TileSet before a build: every tile
// file is decoded, reduced to the build's tile size and, if asked, joined by
// its left-right mirror image.
#pragma once

#include "engine/tile_set.h"
#include "library/tile_files.h"

namespace tesselor {

// Loads the library at Paths().LibraryDirectory() into tiles under its own
// progress window and returns the tile count, or -1 after the no-tiles
// message when nothing could be loaded. Leaves the library directory as the
// working directory. Invalid tile files are reported one by one and skipped;
// Abort ends loading after the file in hand and keeps what was loaded. When
// the set fills up, loading ends too; photosLeftOut (when given) then counts
// the tile files it never read, else it is 0. Without useCache, or without a
// cache folder, every file is decoded and no cache is read or written.
int LoadTileSet(TileSet& tiles, int tileSize, bool mirrorTiles, int* photosLeftOut = nullptr,
                bool useCache = true);

// Brings a 64 x 64 tile down to tile.Size() by averaging blocks of 64 / n
// pixels, and stores the plane averages.
void ReduceTile(const TilePlanes& work, TileBuffer& tile);

// The left-right mirror image of a reduced tile: the same values column for
// column from the right, the same averages. Equal to reducing the mirrored
// picture, at a fraction of the cost.
void MirrorTile(const TileBuffer& tile, TileBuffer& mirror);

}  // namespace tesselor
