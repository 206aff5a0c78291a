#include <cstdio>

#include "cli/commands.h"
#include "library/library_catalog.h"

namespace tesselor::cli {

namespace {

constexpr const char* kUsage =
    "Usage: tesselor-cli libraries\n"
    "\n"
    "Lists the tile libraries (the folders beside the program, or in $TESSELOR_HOME),\n"
    "one a line: the name, a tab, and the number of tiles. Legacy \".raw\" tiles count\n"
    "too; they become JPEG tiles the first time the library is used.\n";

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
