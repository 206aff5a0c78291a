// Points a benchmark's builds at a tile library folder named on its command
// line, with no program folder of its own.
#pragma once

#include <limits.h>
#include <stdlib.h>

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

}  // namespace tesselor
