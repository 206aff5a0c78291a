#include "library/tile_files.h"

#include "imagelib/image_formats.h"
#include "platform/app_paths.h"
#include "platform/directory_listing.h"

namespace tesselor {

std::string TilePath(const std::string& libraryFolder, const std::string& tileName) {
  return Paths().LibraryFolderPath(libraryFolder) + tileName + ".jpg";
}

bool IsEngineTileFile(const std::string& path) {
  return LowerLastThree(path) == "jpg";
}

std::vector<DirectoryEntry> ListPhotographs(const std::string& folder) {
  std::vector<DirectoryEntry> photographs;
  for (DirectoryEntry& entry : ListDirectory(folder, "*"))
    if (!entry.isDirectory && HasDecodedExtension(entry.name))
      photographs.push_back(std::move(entry));
  return photographs;
}

void TilePlanes::CopyFrom(const CBmp& bmp) {
  for (int line = 0; line < kTileEdge; ++line) {
    const uint8_t* pixel = bmp.lineArray[line];
    for (int column = 0; column < kTileEdge; ++column, pixel += 4)
      for (int channel = 0; channel < kChannels; ++channel)
        At(channel, kTileEdge - 1 - line, column) = pixel[PixelOffset(channel)];
  }
}

void TilePlanes::CopyTo(CBmp& bmp) const {
  bmp.Create(kTileEdge, kTileEdge, 32, true);
  for (int line = 0; line < kTileEdge; ++line) {
    uint8_t* pixel = bmp.lineArray[line];
    for (int column = 0; column < kTileEdge; ++column, pixel += 4)
      for (int channel = 0; channel < kChannels; ++channel)
        pixel[PixelOffset(channel)] = At(channel, kTileEdge - 1 - line, column);
  }
}

}  // namespace tesselor
