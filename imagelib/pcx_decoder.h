// Decodes PCX files (1 to 8 bits in one plane, 1 bit in up to 4 planes,
// 8 bits in 3 planes) into 32-bit bitmaps.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CPCXDecoder : public CPicDecoder {
 public:
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;
};

}  // namespace tesselor
