// Decodes Macintosh PICT files (their first pixel map, or embedded JPEG data).
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CJPEGDecoder;

class CPictDecoder : public CPicDecoder {
 public:
  explicit CPictDecoder(CJPEGDecoder* jpegDecoder) : jpegDecoder_(jpegDecoder) {}
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;

 private:
  CJPEGDecoder* jpegDecoder_;
};

}  // namespace tesselor
