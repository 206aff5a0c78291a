#include <cstdio>

#include "cli/commands.h"

namespace tesselor::cli {

int RunInfo(const Arguments&) {
  std::fprintf(stderr, "tesselor-cli info: not available in this build\n");
  return kExitFailed;
}

}  // namespace tesselor::cli
