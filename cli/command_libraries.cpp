#include <cstdio>

#include "cli/commands.h"
#include "library/library_catalog.h"

namespace tesselor::cli {

namespace {

constexpr const char* kUsage =
    "Usage: tesselor-cli libraries\n"
    "\n"
    "Lists the tile libraries, one a line: the name, a tab, and the number of tiles.\n"
    "Legacy \".raw\" tiles count too; they become JPEG tiles the first time the\n"
    "library is used. Your own libraries come first (in $XDG_DATA_HOME/tesselor,\n"
    "~/.local/share/tesselor by default), then those installed with Tesselor; a\n"
    "build run from its folder, or $TESSELOR_HOME, keeps them all in one folder.\n";

}  // namespace

int RunLibraries(const Arguments& args) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return kExitDone;
  }
  if (!args.empty()) {
    std::fprintf(stderr, "tesselor-cli libraries: unexpected argument '%s'\n\n%s", args[0].c_str(),
                 kUsage);
    return kExitUsage;
  }
  for (const LibraryEntry& library : ListLibraries())
    std::printf("%s\t%d\n", library.name.c_str(), library.tileCount);
  return kExitDone;
}

}  // namespace tesselor::cli
