// Decodes JPEG files with libjpeg-turbo into bitmaps: colour files into
// 32-bit pixels, grey files into 32 bits or, at their own depth, 8 bits.
#pragma once

#include <memory>

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CJPEGDecoder : public CPicDecoder {
 public:
  // The library's decompressor is made once here and reused for every file,
  // since tiles are decoded by the thousand.
  CJPEGDecoder();
  ~CJPEGDecoder() override;

  // Truncated data is not an error: the missing part of the image is made
  // up by the library. Corrupt data raises code 6 with the library's text.
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;

  // Rows below the limit are never decoded, nor, through the library's
  // cropping, the columns right of it.
  void LimitToTopLeft(int width, int height) override;

 protected:
  int64_t MostPixelsPerByte() const override;

 private:
  struct Impl;  // the library's decompressor, error guard and managers
  std::unique_ptr<Impl> impl_;
};

}  // namespace tesselor
