// A checksum of a loaded tile set, shared by the loading benchmarks so that
// two ways of loading can be shown to give the same tiles.
#pragma once

#include <cstdint>

#include "engine/tile_set.h"

namespace tesselor {

// FNV-1a over every plane and average, in table order.
inline uint64_t Checksum(const TileSet& tiles) {
  uint64_t hash = 1469598103934665603ull;
  auto mix = [&hash](uint8_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
  for (int t = 0; t < tiles.Count(); ++t) {
    const TileBuffer& tile = tiles[t];
    for (int c = 0; c < 3; ++c) {
      for (int i = 0; i < tile.Size() * tile.Size(); ++i) mix(tile.Plane(c)[i]);
      mix(tile.Average(c));
    }
  }
  return hash;
}

}  // namespace tesselor
