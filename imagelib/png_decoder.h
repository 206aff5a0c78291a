// Decodes PNG files with libpng straight into bitmap rows.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CPNGDecoder : public CPicDecoder {
 public:
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;
};

}  // namespace tesselor
