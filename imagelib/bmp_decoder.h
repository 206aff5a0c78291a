// Decodes Windows bitmap files (1, 4 and 8 bits with or without run-length
// compression, 24 and 32 bits) into bitmaps.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CBmpDecoder : public CPicDecoder {
 public:
  // bitsPerPixel 0 gives files of 8 bits or fewer as 8-bit bitmaps with the
  // file's colour table, anything else as 32 bits; every other request gets
  // 32 bits. Raises code 1 for a wrong signature, 2 for headers we cannot
  // take, 6 for the delta escape and 11 when the data end too soon.
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;
};

}  // namespace tesselor
