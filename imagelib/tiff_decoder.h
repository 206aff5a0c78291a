// Decodes TIFF files, and the TIFF preview inside EPS files, with libtiff
// reading straight from the source's memory.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CTIFFDecoder : public CPicDecoder {
 public:
  // Decodes the TIFF data from the source's read position to its end.
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;

 protected:
  int64_t MostPixelsPerByte() const override;

 private:
  int64_t mostPixelsPerByte_ = 0;  // for the file being decoded
};

}  // namespace tesselor
