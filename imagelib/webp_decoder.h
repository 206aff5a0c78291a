// Decodes WebP files (lossy, lossless, with or without alpha) with libwebp
// straight into 32-bit bitmap rows. Animations are refused.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CWebPDecoder : public CPicDecoder {
 public:
  // Raises code 2 for a header libwebp cannot read or a size we refuse,
  // code 6 for animations and data libwebp cannot decode.
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;

 protected:
  // Their coders squeeze a flat picture into next to nothing, so only the
  // pixel budget bounds these files' size.
  int64_t MostPixelsPerByte() const override { return 0; }
};

}  // namespace tesselor
