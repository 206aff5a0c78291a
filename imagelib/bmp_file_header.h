// Reads the headers in front of a bitmap file's pixels, whichever of the
// Windows and OS/2 variants wrote them, into one description.
#pragma once

#include <cstdint>

#include "imagelib/data_source.h"

namespace tesselor {

// Compression values of the info header.
enum BmpCompression : uint32_t {
  kBmpRgb = 0,
  kBmpRle8 = 1,
  kBmpRle4 = 2,
  kBmpBitFields = 3,
  kBmpJpeg = 4,
  kBmpPng = 5,
  kBmpAlphaBitFields = 6,
};

// Where each channel sits in a 16-, 24- or 32-bit pixel; a zero mask means
// the file does not store that channel.
struct BmpChannelMasks {
  uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

struct BmpLayout {
  int64_t pixelOffset = 0;  // from the start of the file, as the file header says
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored from the top line down
  int bitCount = 0;
  uint32_t compression = kBmpRgb;
  uint32_t coloursUsed = 0;
  int tableEntryBytes = 4;  // 3 behind the 12-byte OS/2 header
  bool hasMasks = false;    // masks below come from the file (bit fields)
  BmpChannelMasks masks;
};

// Reads the 14-byte file header and the info header that follows, with the
// bit masks stored behind a 40-byte header. Raises code 1 when the signature
// is not "BM", code 2 for a header size no variant has or compression we
// cannot decode, and code 11 when the file ends first. Leaves the source at
// the colour table.
BmpLayout ReadBmpHeaders(CDataSource& source);

}  // namespace tesselor
