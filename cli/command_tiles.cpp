#include <cstdio>

#include "cli/commands.h"

namespace tesselor::cli {

int RunTiles(const Arguments&) {
  std::fprintf(stderr, "tesselor-cli tiles: not available in this build\n");
  return kExitFailed;
}

}  // namespace tesselor::cli
