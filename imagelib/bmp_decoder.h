// Decodes Windows and OS/2 bitmap files (1, 2, 4 and 8 bits, 4 and 8 with or
// without run-length compression, 16, 24 and 32 bits with or without bit
// masks) into bitmaps.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CBmpDecoder : public CPicDecoder {
 public:
  // bitsPerPixel 0 gives files of 8 bits or fewer as 8-bit bitmaps with the
  // file's colour table, anything else as 32 bits; every other request gets
  // 32 bits. Raises code 1 for a wrong signature, 2 for headers we cannot
  // take or sizes the data cannot hold, 6 for compression we do not decode
  // and 11 when uncompressed data end too soon.
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;
};

}  // namespace tesselor
