// Decodes the primary picture of HEIF files (HEIC from phones, and AVIF)
// with libheif into 32-bit bitmaps, turned and cropped as the file says.
#pragma once

#include "imagelib/pic_decoder.h"

struct heif_image_handle;

namespace tesselor {

class CHEIFDecoder : public CPicDecoder {
 public:
  // Raises code 2 for a size we refuse and code 6 with libheif's text for
  // files it cannot read or decode (among them codecs it was built without).
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;

 protected:
  // Their coders squeeze a flat picture into next to nothing, so only the
  // pixel budget bounds these files' size.
  int64_t MostPixelsPerByte() const override { return 0; }

 private:
  void RefuseOversizedFrames(const uint8_t* file, size_t bytes,
                             const heif_image_handle& picture) const;
};

}  // namespace tesselor
