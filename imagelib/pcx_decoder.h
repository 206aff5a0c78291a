// Decodes PCX files into bitmaps.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CPCXDecoder : public CPicDecoder {
 public:
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;
};

}  // namespace tesselor
