// Feeds arbitrary bytes to the tile cache reader as a cache file whose
// checksum matched, as a forged one would: it must take them whole or not at
// all, and never read past them.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/tile_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tesselor::TileCacheFile cache;
  const bool whole = cache.Parse(std::vector<uint8_t>(data, data + size), "/l/", 8);
  if (!whole && cache.Count() != 0) std::abort();
  return 0;
}
