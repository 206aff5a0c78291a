// Loads one tile library three ways, side by side, several rounds each, and
// reports the fastest round of each: without the tile cache, with a cache
// that is missing (so the load writes it), and from the cache that load
// wrote. The tiles must be the same all three ways.
//
//   bench_cache LIBRARY_FOLDER TILE_SIZE ROUNDS
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/library_folder.h"
#include "bench/tile_set_checksum.h"
#include "bench/timing.h"
#include "engine/load_tile_set.h"
#include "platform/app_paths.h"
#include "platform/directory_listing.h"
#include "tests/support/scripted_shell.h"

using namespace tesselor;

namespace {

void EmptyFolder(const std::string& folder) {
  for (const DirectoryEntry& entry : ListDirectory(folder, "*")) unlink(entry.fullPath.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  ScriptedShell shell;  // messages recorded, never shown
  LoadingArguments arguments;
  if (const int status = ReadLoadingArguments(argc, argv, "bench_cache", arguments)) return status;
  char cacheFolder[] = "/tmp/bench_cache-XXXXXX";
  if (!mkdtemp(cacheFolder)) return 1;
  const std::string cache = WithTrailingSlash(cacheFolder);

  double plain = 1e9, writing = 1e9, cached = 1e9;
  uint64_t sums[3] = {};
  auto load = [&](const std::string& cacheDirectory, uint64_t& sum) {
    Paths().tileCacheDirectory = cacheDirectory;
    TileSet tiles;
    const double seconds = Timed([&] { LoadTileSet(tiles, arguments.tileSize, true); });
    sum = Checksum(tiles);
    return seconds;
  };
  for (int round = 0; round < arguments.rounds; ++round) {
    plain = std::min(plain, load("", sums[0]));
    EmptyFolder(cache);
    writing = std::min(writing, load(cache, sums[1]));
    cached = std::min(cached, load(cache, sums[2]));
  }
  EmptyFolder(cache);
  rmdir(cacheFolder);
  const bool same = sums[0] == sums[1] && sums[1] == sums[2];
  std::printf("loader seconds without cache: %.4f\nloader seconds writing the cache: %.4f\n", plain,
              writing);
  std::printf("loader seconds from the cache: %.4f\ntiles identical: %s\n", cached,
              same ? "yes" : "NO");
  return same ? 0 : 1;
}
