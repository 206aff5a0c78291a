// Turning photographs into 64 x 64 tiles of the current library.
#pragma once

#include <string>

#include "imagelib/bmp.h"

namespace tesselor {

// A rectangle of a picture, in pixels.
struct PixelArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// How a photograph that is not square becomes a square tile.
enum class TileFit {
  kSqueeze,  // the whole photograph, squeezed out of shape
  kCrop,     // the largest centred square, in shape
};

// The part of a width x height picture that fit makes the tile of.
PixelArea FitArea(int width, int height, TileFit fit);

// Reduces area (at least 64 x 64, inside the 32-bit picture) to a 64 x 64
// tile: each tile pixel is the mean of a block of width / 64 x height / 64
// pixels starting at left + i x width / 64, top + j x height / 64. A
// non-square area is squeezed into the square, never cropped.
void ReduceToTile(const CBmp& picture, const PixelArea& area, CBmp& tile);

// Writes tile as a JPEG file at path unless a file of that name exists, in
// which case it returns false and leaves that file alone. Throws
// CTextException when the file cannot be written.
bool WriteNewTile(const CBmp& tile, const std::string& path);

// Makes the tile TilePath(currentLibrary, sourceTitle) from the photograph
// at sourcePath, whole or cropped as fit says. Returns 1 when the tile was
// written and 0, silently, when the name is taken, sourcePath is not named
// like a picture format the program decodes (any letter case), the file does
// not decode or the picture is smaller than 64 x 64. The photograph is turned
// upright first when it records an orientation. madeTile, when given,
// receives the new tile. Throws
// CTextException when the tile file cannot be written.
int MakeTile(const std::string& sourcePath, const std::string& sourceTitle,
             CBmp* madeTile = nullptr, TileFit fit = TileFit::kSqueeze);

}  // namespace tesselor
