// The --library option of the commands that read or write tiles.
#pragma once

#include <optional>
#include <string>

#include "cli/command_voice.h"
#include "cli/commands.h"
#include "library/make_tile.h"

namespace tesselor::cli {

// Makes value the current library: a library's name ("Demo Tile Library"),
// the user's own or an installed one, or, when it holds a '/', a folder
// anywhere (its parent then stands in for the library roots). False for an
// empty value.
bool SelectLibrary(const std::string& value);

// Takes the value of the --fit at args[i], "squeeze" or "crop" in any letter
// case, into fit and steps i onto it. Returns the usage error's exit code
// when the value is missing or neither.
std::optional<int> TakeTileFit(const CommandVoice& voice, const Arguments& args, size_t& i,
                               TileFit& fit);

// The help text line of the option.
inline constexpr const char* kLibraryOptionHelp =
    "  --library NAME|DIR   the tile library: NAME is a library's name, yours or an\n"
    "                       installed one (default \"Demo Tile Library\"); a value\n"
    "                       with a '/' in it is a folder path (./mytiles, /data/tiles)\n";

}  // namespace tesselor::cli
