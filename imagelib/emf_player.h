// Enhanced metafiles: the header with its frame and reference device, the
// palette in the end record, and playing the drawing records through a
// MetafilePlayer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagelib/metafile_player.h"
#include "imagelib/wmf_player.h"

namespace tesselor {

struct EmfPicture {
  int32_t frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;  // 0.01 mm
  // Reference device pixels per millimetre.
  double pixelsPerMmX = 96 / 25.4, pixelsPerMmY = 96 / 25.4;
  const uint8_t* data = nullptr;  // from the header record on
  size_t size = 0;
};

MetafileHeader ReadEmfHeader(const uint8_t* data, size_t size, EmfPicture& picture);

// Copies the palette of the end record into the 256-entry table and returns
// how many entries it has (0 when it has none).
int ReadEmfPalette(const EmfPicture& picture, ColourTable& table);

// Plays every record; false when a record runs past the data.
bool PlayEmf(const EmfPicture& picture, MetafilePlayer& player);

}  // namespace tesselor
