// Decodes Macintosh PICT files: the first pixel map in the picture, or the
// JPEG image inside compressed QuickTime data. Vector drawing is skipped.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CJPEGDecoder;

class CPictDecoder : public CPicDecoder {
 public:
  // jpegDecoder decodes embedded JPEG data; it is not owned.
  explicit CPictDecoder(CJPEGDecoder* jpegDecoder) : jpegDecoder_(jpegDecoder) {}
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;

 private:
  void DecodePixelMap(int opcode, CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                      CDataSource& source);
  void DecodeQuickTime(CBmp& bmp, int bitsPerPixel, CDataSource& source);

  CJPEGDecoder* jpegDecoder_;
};

}  // namespace tesselor
