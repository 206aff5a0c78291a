// tesselor-cli: the photomosaic maker from a terminal.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "platform/app_paths.h"
#include "platform/console_shell.h"

namespace {

using tesselor::cli::Arguments;

struct Command {
  const char* name;
  const char* summary;
  int (*run)(const Arguments&);
};

constexpr Command kCommands[] = {
    {"info", "show the format, size and depth of an image file", tesselor::cli::RunInfo},
    {"convert", "convert an image file to JPEG or BMP", tesselor::cli::RunConvert},
    {"mosaic", "build a photomosaic from a photograph", tesselor::cli::RunMosaic},
    {"tiles", "make tiles for a library from a folder of photographs", tesselor::cli::RunTiles},
    {"libraries", "list the tile libraries and their tile counts", tesselor::cli::RunLibraries},
    {"library", "list, delete, rename or add the tiles of a library; create one",
     tesselor::cli::RunLibrary},
};

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "Usage: tesselor-cli COMMAND [ARGS...]\n"
               "       tesselor-cli COMMAND --help\n"
               "       tesselor-cli --version\n\nCommands:\n");
  for (const Command& command : kCommands)
    std::fprintf(out, "  %-10s %s\n", command.name, command.summary);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return tesselor::cli::kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintUsage(stdout);
    return tesselor::cli::kExitDone;
  }
  if (name == "--version") {
    std::printf("tesselor-cli %s\n", TESSELOR_VERSION);
    return tesselor::cli::kExitDone;
  }
  tesselor::InitProgramDirectory();
  static tesselor::ConsoleShell shell;
  tesselor::Shell::Install(&shell);
  tesselor::ConsoleShell::InstallInterruptHandler();
  for (const Command& command : kCommands) {
    if (name == command.name) return command.run(Arguments(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "tesselor-cli: unknown command '%s'\n\n", name.c_str());
  PrintUsage(stderr);
  return tesselor::cli::kExitUsage;
}
