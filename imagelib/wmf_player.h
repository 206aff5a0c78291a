// Windows metafiles: the placeable and standard headers, the palette, and
// playing the drawing records through a MetafilePlayer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagelib/metafile_player.h"

namespace tesselor {

struct WmfPicture {
  bool placeable = false;
  int left = 0, top = 0, right = 0, bottom = 0;  // placeable bounds, logical units
  int unitsPerInch = 0;
  const uint8_t* records = nullptr;  // the first record after the headers
  size_t recordBytes = 0;
};

enum class MetafileHeader { kRead, kTooShort, kInvalid };

MetafileHeader ReadWmfHeader(const uint8_t* data, size_t size, WmfPicture& picture);

// Copies the entries of the first palette the metafile creates into the
// 256-entry table and returns how many there are (0 when it has none).
int ReadWmfPalette(const WmfPicture& picture, ColourTable& table);

// Plays every record; false when a record runs past the data.
bool PlayWmf(const WmfPicture& picture, MetafilePlayer& player);

}  // namespace tesselor
