// Decodes TGA files: colour-mapped, true-colour and grey, plain or
// run-length coded, in either row order.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CTGADecoder : public CPicDecoder {
 public:
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;
};

}  // namespace tesselor
