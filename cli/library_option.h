// The --library option of the commands that read or write tiles.
#pragma once

#include <optional>
#include <string>

#include "library/make_tile.h"

namespace tesselor::cli {

// Makes value the current library: a folder name beside the program
// ("Demo Tile Library"), or, when it holds a '/', a folder anywhere (its
// parent then stands in for the program folder). False for an empty value.
bool SelectLibrary(const std::string& value);

// The value of --fit: "squeeze" or "crop", in any letter case.
std::optional<TileFit> ParseTileFit(const std::string& value);

// The help text line of the option.
inline constexpr const char* kLibraryOptionHelp =
    "  --library NAME|DIR   the tile library: NAME is a folder beside the program\n"
    "                       (default \"Demo Tile Library\"); a value with a '/' in it\n"
    "                       is a folder path (./mytiles, /data/tiles)\n";

}  // namespace tesselor::cli
