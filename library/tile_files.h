// Where a library's tiles are and which files count as tiles for each reader.
#pragma once

#include <string>

namespace tesselor {

// programDirectory + library folder name (ending in '/') + name + ".jpg".
std::string TilePath(const std::string& libraryFolder, const std::string& tileName);

// The mosaic engine's test: the last three characters, lower-cased, are "jpg".
bool IsEngineTileFile(const std::string& path);

}  // namespace tesselor
