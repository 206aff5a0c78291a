// Writes 32-bit bitmaps as baseline JFIF files at quality 75.
#pragma once

#include <memory>

#include "imagelib/pic_encoder.h"

namespace tesselor {

class CJPEGEncoder : public CPicEncoder {
 public:
  // The library's compressor is made once here and reused for every image.
  CJPEGEncoder();
  ~CJPEGEncoder() override;

  // Code -1 when the file cannot be opened or written, 11 when the JPEG
  // outgrows SinkCapacity, 6 for the library's own errors; the file at path
  // is replaced only when the whole image was written.
  void EncodeFile(const std::string& path, const CBmp& bmp) override;
  // Only 32-bit bitmaps can be encoded; the fourth byte of each pixel is
  // ignored.
  void EncodeImage(const CBmp& bmp, CDataSink& sink) override;

  // The sink capacity EncodeFile reserves for bmp.
  static int64_t SinkCapacity(const CBmp& bmp);

 private:
  struct Impl;  // the library's compressor, error guard and destination
  std::unique_ptr<Impl> impl_;
};

}  // namespace tesselor
