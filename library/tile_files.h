// Where a library's tiles are, which files count as tiles for each reader,
// and the 64 x 64 three-plane layout that tiles pass through on their way in.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "imagelib/bmp.h"
#include "platform/directory_listing.h"

namespace tesselor {

// Channel numbers of tile planes and of every colour triple, in plane order.
enum Channel : int { kRed = 0, kGreen = 1, kBlue = 2 };
constexpr int kChannels = 3;

// Byte offset of a channel inside a 32-bit bitmap pixel (blue, green, red, fourth byte).
constexpr int PixelOffset(int channel) {
  return 2 - channel;
}

// Edge of every stored tile, in pixels.
constexpr int kTileEdge = 64;

// The folder of the library (its name ending in '/') + name + ".jpg".
std::string TilePath(const std::string& libraryFolder, const std::string& tileName);

// The mosaic engine's test: the last three characters, lower-cased, are "jpg".
bool IsEngineTileFile(const std::string& path);

// The files of folder that tiles can be made from: those named like a
// picture format the program decodes (beach.png, IMG_1.HEIC), folders left
// out, in listing order.
std::vector<DirectoryEntry> ListPhotographs(const std::string& folder);

// A 64 x 64 tile as three byte planes, red, green, blue, with plane row 0 the
// bottom line of the tile: the layout of legacy ".raw" tile files, and the
// work buffer a decoded tile is laid out in before it is reduced.
struct TilePlanes {
  static constexpr int kPlaneBytes = kTileEdge * kTileEdge;
  static constexpr int kBytes = 3 * kPlaneBytes;

  std::array<uint8_t, kBytes> bytes{};

  uint8_t& At(int channel, int row, int column) {
    return bytes[static_cast<size_t>(channel * kPlaneBytes + row * kTileEdge + column)];
  }
  uint8_t At(int channel, int row, int column) const {
    return bytes[static_cast<size_t>(channel * kPlaneBytes + row * kTileEdge + column)];
  }

  // Takes the top-left 64 x 64 pixels of a 32-bit bitmap at least that big.
  void CopyFrom(const CBmp& bmp);
  // Recreates bmp as a 64 x 64, 32-bit bitmap with these colours; the fourth
  // byte of each pixel stays as created.
  void CopyTo(CBmp& bmp) const;
};

}  // namespace tesselor
