#include "library/tile_files.h"

#include "platform/app_paths.h"
#include "platform/directory_listing.h"

namespace tesselor {

std::string TilePath(const std::string& libraryFolder, const std::string& tileName) {
  return Paths().programDirectory + libraryFolder + tileName + ".jpg";
}

bool IsEngineTileFile(const std::string& path) { return LowerLastThree(path) == "jpg"; }

}  // namespace tesselor
