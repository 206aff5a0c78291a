// Decodes JPEG files with libjpeg-turbo straight into bitmap rows.
#pragma once

#include <memory>

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CJPEGDecoder : public CPicDecoder {
 public:
  CJPEGDecoder();
  ~CJPEGDecoder() override;

  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;

 private:
  struct Impl;  // the library's decompressor and error manager
  std::unique_ptr<Impl> impl_;
};

}  // namespace tesselor
