// Decodes the TIFF preview inside an EPS file: the header names where the
// TIFF data start, and the TIFF decoder reads on from there.
#pragma once

#include "imagelib/tiff_decoder.h"

namespace tesselor {

class CEPSDecoder : public CPicDecoder {
 public:
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;

 private:
  CTIFFDecoder tiffDecoder_;
};

}  // namespace tesselor
