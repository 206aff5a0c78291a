// Writes 32-bit bitmaps as baseline JFIF files at quality 75.
#pragma once

#include <memory>

#include "imagelib/pic_encoder.h"

namespace tesselor {

class CJPEGEncoder : public CPicEncoder {
 public:
  CJPEGEncoder();
  ~CJPEGEncoder() override;

  void EncodeFile(const std::string& path, const CBmp& bmp) override;
  void EncodeImage(const CBmp& bmp, CDataSink& sink) override;

  // The sink capacity EncodeFile reserves for bmp.
  static int64_t SinkCapacity(const CBmp& bmp);

 private:
  struct Impl;  // the library's compressor and error manager
  std::unique_ptr<Impl> impl_;
};

}  // namespace tesselor
