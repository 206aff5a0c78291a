#include <cstdio>

#include "cli/commands.h"

namespace tesselor::cli {

int RunMosaic(const Arguments&) {
  std::fprintf(stderr, "tesselor-cli mosaic: not available in this build\n");
  return kExitFailed;
}

}  // namespace tesselor::cli
