#include <cstdio>

#include "cli/commands.h"

namespace tesselor::cli {

int RunConvert(const Arguments&) {
  std::fprintf(stderr, "tesselor-cli convert: not available in this build\n");
  return kExitFailed;
}

}  // namespace tesselor::cli
