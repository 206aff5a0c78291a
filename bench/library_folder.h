// Points a benchmark's builds at a tile library folder named on its command
// line, with no program folder of its own.
#pragma once

#include <limits.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>

#include "platform/app_paths.h"
#include "platform/directory_listing.h"

namespace tesselor {

// Loading works inside the library folder, so the folder is made absolute
// first. Says so and returns false when there is no such folder.
inline bool UseLibraryFolder(const char* folder) {
  Paths().programDirectory = "";
  char absolute[PATH_MAX];
  if (!realpath(folder, absolute)) {
    std::fprintf(stderr, "no folder %s\n", folder);
    return false;
  }
  Paths().currentLibrary = WithTrailingSlash(absolute);
  return true;
}

// The LIBRARY_FOLDER TILE_SIZE ROUNDS arguments of the loading benchmarks.
struct LoadingArguments {
  int tileSize = 0;
  int rounds = 1;
};

// Reads them and points loading at the folder. Returns 0, or the exit
// status for a bad call: 2 for a short command line, 1 for no such folder.
inline int ReadLoadingArguments(int argc, char** argv, const char* program,
                                LoadingArguments& arguments) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s LIBRARY_FOLDER TILE_SIZE ROUNDS\n", program);
    return 2;
  }
  if (!UseLibraryFolder(argv[1])) return 1;
  arguments.tileSize = std::atoi(argv[2]);
  arguments.rounds = std::max(1, std::atoi(argv[3]));
  return 0;
}

}  // namespace tesselor
